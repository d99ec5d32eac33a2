#include "TConfigGeneralPage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "SupervisionTexts.h"
#include "TLiveSettings.h"

namespace T = SupervisionTexts;
using L = TLiveSettings;

TConfigGeneralPage::TConfigGeneralPage(TConfigSession& session, QWidget* parent)
    : TConfigPage(session, "tsGeneral", parent) {
    Build();
    BindFlag(cbxStartup, &L::cbxStartup);
    BindFlag(cbxPostByDate, &L::cbxPostByDate);
    BindFlag(cbxSaveCallerName, &L::cbxSaveCallerName);
    BindText(edtTrimDigits, &L::edtTrimDigits);
    BindText(edtToolCaption, &L::edtToolCaption);
    BindText(edtToolComline, &L::edtToolComline);
    connect(cbxRecordCalls, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!Loading() && i >= 0) session_.SetNumber(&L::cbxRecordCalls, i);
    });
    connect(rdExportFormatItems, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (!Loading() && on) session_.SetNumber(&L::rdExportFormat, id);
    });
    connect(cbxCompression, &QComboBox::currentIndexChanged, this, [this] {
        if (!Loading()) cbxCompressionChange();
    });
    connect(edtStart, &QLineEdit::textChanged, this, [this] { edtStartChange(); });
    connect(edtStop, &QLineEdit::textChanged, this, [this] { edtStopChange(); });
    connect(edtStart, &QLineEdit::editingFinished, this, &TConfigGeneralPage::edtStartExit);
    connect(edtStop, &QLineEdit::editingFinished, this, &TConfigGeneralPage::edtStopExit);
    connect(cbxTrimDigits, &QCheckBox::toggled, this, [this] {
        if (!Loading()) cbxTrimDigitsClick();
    });
    connect(cbExtTool, &QCheckBox::toggled, this, [this] {
        if (!Loading()) cbExtToolClick();
    });
    connect(sbExeTool, &QToolButton::clicked, this, &TConfigGeneralPage::sbExeToolClick);
}

void TConfigGeneralPage::Build() {
    cbxCompression = Named(new QComboBox(this), "cbxCompression");
    cbxCompression->addItems({"a-Law", "u-Law", "IMA ADPCM", "GSM", "MP3"});
    cbxRecordCalls = Named(new QComboBox(this), "cbxRecordCalls");
    cbxRecordCalls->addItems({"Incoming", "Outgoing", "All", "SMDR"});
    edtStart = Named(new QLineEdit(this), "edtStart");
    edtStop = Named(new QLineEdit(this), "edtStop");
    cbxStartup = Named(new QCheckBox(T::kLoadAtStartup, this), "cbxStartup");
    cbxPostByDate = Named(new QCheckBox(T::kCreateNodesPerDate, this), "cbxPostByDate");
    cbxSaveCallerName = Named(new QCheckBox(T::kSaveCallerName, this), "cbxSaveCallerName");
    cbxTrimDigits = Named(new QCheckBox(T::kTrimLeadingDigits, this), "cbxTrimDigits");
    edtTrimDigits = Named(new QLineEdit(this), "edtTrimDigits");
    rdExportFormat = Named(new QGroupBox("Export format", this), "rdExportFormat");
    rdExportFormatItems = new QButtonGroup(this);
    auto* ef = new QVBoxLayout(rdExportFormat);
    const char* formats[] = {"Tab delimited", "Comma delimmited", "Semicolon delimited", "XML"};
    for (int i = 0; i < 4; ++i) {
        auto* rb = new QRadioButton(formats[i], rdExportFormat);
        rdExportFormatItems->addButton(rb, i);
        ef->addWidget(rb);
    }
    cbExtTool = Named(new QCheckBox("External tool", this), "cbExtTool");
    edtToolCaption = Named(new QLineEdit(this), "edtToolCaption");
    edtToolComline = Named(new QLineEdit(this), "edtToolComline");
    stxExe = Named(new QLabel(this), "stxExe");
    stxExe->setFrameShape(QFrame::StyledPanel);
    stxExe->setMinimumWidth(160);
    sbExeTool = Named(new QToolButton(this), "sbExeTool");
    sbExeTool->setText("...");

    auto* form = new QFormLayout;
    form->addRow("Compression", cbxCompression);
    form->addRow("Record calls", cbxRecordCalls);
    auto* keys = new QGroupBox("On demand keys", this);
    auto* kf = new QFormLayout(keys);
    kf->addRow("Start", edtStart);
    kf->addRow("Stop", edtStop);
    auto* tool = new QGroupBox(this);
    auto* tf = new QFormLayout(tool);
    tf->addRow(cbExtTool);
    tf->addRow("Caption", edtToolCaption);
    tf->addRow("Command line", edtToolComline);
    auto* exe = new QHBoxLayout;
    exe->addWidget(stxExe, 1);
    exe->addWidget(sbExeTool);
    tf->addRow("Program", exe);
    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addWidget(keys);
    left->addWidget(cbxStartup);
    left->addWidget(cbxPostByDate);
    left->addWidget(cbxSaveCallerName);
    auto* trim = new QHBoxLayout;
    trim->addWidget(cbxTrimDigits);
    trim->addWidget(edtTrimDigits);
    left->addLayout(trim);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(rdExportFormat);
    right->addWidget(tool);
    right->addStretch();
    auto* l = new QHBoxLayout(this);
    l->addLayout(left);
    l->addLayout(right);
}

void TConfigGeneralPage::ShowSettings() {
    const TLiveSettings& s = session_.Settings();
    {
        const TLoading loading(*this);
        const int tagItem = TLiveSettings::ItemOfCompressionTag(s.CompressionTag);
        if (tagItem >= 0) cbxCompression->setCurrentIndex(tagItem);
        cbxRecordCalls->setCurrentIndex(s.cbxRecordCalls);
        edtStart->setText(s.edtStart);
        edtStop->setText(s.edtStop);
        cbxStartup->setChecked(s.cbxStartup);
        cbxPostByDate->setChecked(s.cbxPostByDate);
        cbxSaveCallerName->setChecked(s.cbxSaveCallerName);
        cbxTrimDigits->setChecked(s.cbxTrimDigits);
        edtTrimDigits->setText(s.edtTrimDigits);
        if (QAbstractButton* b = rdExportFormatItems->button(s.rdExportFormat)) b->setChecked(true);
        cbExtTool->setChecked(s.cbExtTool);
        edtToolCaption->setText(s.edtToolCaption);
        edtToolComline->setText(s.edtToolComline);
        stxExe->setText(session_.ExecutableName());
    }
    edtTrimDigits->setEnabled(session_.TrimDigitsEnabled());
    cbExtToolClick();
}

void TConfigGeneralPage::cbxCompressionChange() {
    session_.SetCompressionItem(cbxCompression->currentIndex());
}

bool TConfigGeneralPage::KeepKeys(QLineEdit* e) {
    const QString kept = TConfigSession::FilterKeys(e->text());
    if (kept == e->text()) return true;
    const int cursor = e->cursorPosition();
    const int removed = static_cast<int>(e->text().size() - kept.size());
    e->setText(kept);
    e->setCursorPosition(std::max(0, cursor - removed));
    return false;
}

void TConfigGeneralPage::edtStartChange() {
    if (KeepKeys(edtStart) && !Loading()) session_.SetStartKey(edtStart->text());
}

void TConfigGeneralPage::edtStopChange() {
    if (KeepKeys(edtStop) && !Loading()) session_.SetStopKey(edtStop->text());
}

void TConfigGeneralPage::edtStartExit() {
    edtStart->setText(edtStart->text().trimmed());
}
void TConfigGeneralPage::edtStopExit() {
    edtStop->setText(edtStop->text().trimmed());
}

void TConfigGeneralPage::cbxTrimDigitsClick() {
    session_.SetTrimDigits(cbxTrimDigits->isChecked());
    if (!session_.TrimDigitsEnabled()) edtTrimDigits->clear();
    edtTrimDigits->setEnabled(session_.TrimDigitsEnabled());
}

void TConfigGeneralPage::cbExtToolClick() {
    session_.SetExternalTool(cbExtTool->isChecked());
    const bool on = session_.ToolFieldsEnabled();
    for (QWidget* w : {static_cast<QWidget*>(edtToolCaption), static_cast<QWidget*>(edtToolComline),
                       static_cast<QWidget*>(stxExe), static_cast<QWidget*>(sbExeTool)})
        w->setEnabled(on);
}

void TConfigGeneralPage::sbExeToolClick() {
    if (!PickExecutable) return;
    session_.ChooseExecutable(PickExecutable(session_.ExecutableStart()));
    stxExe->setText(session_.ExecutableName());
}
