#include "TSpinEdit.h"

#include <QKeyEvent>
#include <QLineEdit>

TSpinEdit::TSpinEdit(QWidget* parent) : QSpinBox(parent) {}

QValidator::State TSpinEdit::validate(QString& input, int& pos) const {
    const QString t = input.trimmed();
    if (t.isEmpty() || t == "-" || t == "+") return QValidator::Intermediate;
    bool ok = false;
    t.toLongLong(&ok);
    if (ok) return QValidator::Acceptable;  // the range is applied when the field is left
    return QSpinBox::validate(input, pos);
}

bool TSpinEdit::TypedOutside(qint64& typed) const {
    bool ok = false;
    typed = lineEdit()->text().trimmed().toLongLong(&ok);
    return ok && (typed < minimum() || typed > maximum());
}

void TSpinEdit::Leave() {
    qint64 typed = 0;
    const bool outside = TypedOutside(typed);
    if (outside) setValue(typed < minimum() ? minimum() : maximum());
    else interpretText();
    if (outside) emit outOfRange(typed);
}

void TSpinEdit::focusOutEvent(QFocusEvent* e) {
    qint64 typed = 0;
    const bool outside = TypedOutside(typed);
    if (outside) setValue(typed < minimum() ? minimum() : maximum());
    QSpinBox::focusOutEvent(e);
    if (outside) emit outOfRange(typed);
}

void TSpinEdit::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) Leave();
    QSpinBox::keyPressEvent(e);
}
