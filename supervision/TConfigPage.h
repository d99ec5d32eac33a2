// A page of the configuration window: it shows the editing session's state and forwards the
// user's edits to it. While the page fills its controls from the session (Loading()), the
// controls' change handlers write nothing back.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "TConfigSession.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;
class TSpinEdit;

class TConfigPage : public QWidget {
    Q_OBJECT
public:
    // A folder or program picker: the chosen path, or empty when cancelled.
    using TPicker = std::function<QString(const QString& start)>;

    TConfigPage(TConfigSession& session, const QString& name, QWidget* parent = nullptr);

    // Fills the controls from the session (each show, and after OK).
    virtual void ShowSettings() = 0;

protected:
    template <class W>
    static W* Named(W* w, const QString& name) {
        w->setObjectName(name);
        return w;
    }
    QSpinBox* Spin(const QString& name, TConfigSession::TRange range);
    TSpinEdit* SpinEdit(const QString& name, TConfigSession::TRange range);

    // Plain controls write their setting at each change (not while the page is loading).
    void BindFlag(QCheckBox* box, bool TLiveSettings::*member);
    void BindNumber(QSpinBox* box, int TLiveSettings::*member);
    void BindText(QLineEdit* edit, QString TLiveSettings::*member);

    bool Loading() const { return loading_ > 0; }
    // Marks the page as loading for the lifetime of the object.
    class TLoading {
    public:
        explicit TLoading(TConfigPage& page) : page_(page) { ++page_.loading_; }
        ~TLoading() { --page_.loading_; }
        TLoading(const TLoading&) = delete;
        TLoading& operator=(const TLoading&) = delete;

    private:
        TConfigPage& page_;
    };

    TConfigSession& session_;

private:
    int loading_ = 0;
};
