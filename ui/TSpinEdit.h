// An integer spin field that lets the user type a value outside its range. When the user
// leaves the field (focus moves away or Enter) with such a value, outOfRange reports the typed
// value and the field falls back to the nearest limit.
#pragma once

#include <QSpinBox>

class TSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    // Leaves the field as a focus change would (exposed for tests and keyboard handling).
    void Leave();
    // The text field (to type into it).
    QLineEdit* Editor() const { return lineEdit(); }

signals:
    void outOfRange(qint64 typed);

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    bool TypedOutside(qint64& typed) const;
};
