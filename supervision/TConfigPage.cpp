#include "TConfigPage.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>

#include "TLiveSettings.h"
#include "TSpinEdit.h"

TConfigPage::TConfigPage(TConfigSession& session, const QString& name, QWidget* parent)
    : QWidget(parent), session_(session) {
    setObjectName(name);
}

QSpinBox* TConfigPage::Spin(const QString& name, TConfigSession::TRange range) {
    auto* s = Named(new QSpinBox(this), name);
    s->setRange(range.Min, range.Max);
    s->setSingleStep(range.Step);
    return s;
}

TSpinEdit* TConfigPage::SpinEdit(const QString& name, TConfigSession::TRange range) {
    auto* s = Named(new TSpinEdit(this), name);
    s->setRange(range.Min, range.Max);
    s->setSingleStep(range.Step);
    return s;
}

void TConfigPage::BindFlag(QCheckBox* box, bool TLiveSettings::*member) {
    connect(box, &QCheckBox::toggled, this, [this, member](bool on) {
        if (!Loading()) session_.SetFlag(member, on);
    });
}

void TConfigPage::BindNumber(QSpinBox* box, int TLiveSettings::*member) {
    connect(box, &QSpinBox::valueChanged, this, [this, member](int v) {
        if (!Loading()) session_.SetNumber(member, v);
    });
}

void TConfigPage::BindText(QLineEdit* edit, QString TLiveSettings::*member) {
    connect(edit, &QLineEdit::textChanged, this, [this, member](const QString& t) {
        if (!Loading()) session_.SetText(member, t);
    });
}
