#include "TfmLog.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "CoreTexts.h"
#include "TEventLog.h"
#include "TIniFile.h"

TfmLog::TfmLog(TEventLog* log, TIniFile* settings, const QString& logFileName, QWidget* parent)
    : QWidget(parent, Qt::Window), log_(log), settings_(settings) {
    setWindowTitle("Events");
    memo_ = new QPlainTextEdit(this);
    memo_->setReadOnly(true);
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono("Courier New");
    mono.setStyleHint(QFont::Monospace);
    memo_->setFont(mono);
    clear_ = new QPushButton("Clear", this);
    clear_->setObjectName("btnClear");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(clear_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(memo_);
    layout->addLayout(buttons);

    int top = settings_ ? settings_->ReadInteger("General", "fmLogTop", 153) : 153;
    int left = settings_ ? settings_->ReadInteger("General", "fmLogLeft", 52) : 52;
    int width = settings_ ? settings_->ReadInteger("General", "fmLogWidth", 269) : 269;
    int height = settings_ ? settings_->ReadInteger("General", "fmLogHeight", 409) : 409;
    setGeometry(left, top, width, height);

    connect(clear_, &QPushButton::clicked, this, [this] { log_->Clear(); });
    connect(log_, &TEventLog::lineAppended, this,
            [this](const QString& line) { memo_->appendPlainText(line); }, Qt::QueuedConnection);
    connect(log_, &TEventLog::cleared, this, &TfmLog::Reload, Qt::QueuedConnection);

    log_->Load(logFileName);
    Reload();
    log_->LogGeneral(CoreTexts::kNewSession);
}

TfmLog::~TfmLog() {
    if (!settings_) return;
    settings_->BeginUpdate();
    settings_->WriteInteger("General", "fmLogTop", geometry().top());
    settings_->WriteInteger("General", "fmLogLeft", geometry().left());
    settings_->WriteInteger("General", "fmLogWidth", geometry().width());
    settings_->WriteInteger("General", "fmLogHeight", geometry().height());
    settings_->EndUpdate();
}

void TfmLog::Reload() { memo_->setPlainText(log_->Lines().join('\n')); }
