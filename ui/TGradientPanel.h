// A header band with a colour gradient and a caption.
#pragma once

#include <QWidget>

class TGradientPanel : public QWidget {
    Q_OBJECT
public:
    explicit TGradientPanel(const QString& caption, QWidget* parent = nullptr);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    QSize sizeHint() const override { return QSize(300, 28); }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString caption_;
};
