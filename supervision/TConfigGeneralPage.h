// The General settings page: compression, which calls are recorded, the on-demand keys,
// start-up, filing options, the export format and the external tool.
#pragma once

#include "TConfigPage.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QToolButton;

class TConfigGeneralPage : public TConfigPage {
    Q_OBJECT
public:
    explicit TConfigGeneralPage(TConfigSession& session, QWidget* parent = nullptr);

    void ShowSettings() override;

    TPicker PickExecutable;  // unset: the browse button does nothing

    void cbxCompressionChange();
    void edtStartChange();
    void edtStopChange();
    void edtStartExit();
    void edtStopExit();
    void cbxTrimDigitsClick();
    void cbExtToolClick();
    void sbExeToolClick();

    QComboBox *cbxCompression, *cbxRecordCalls;
    QLineEdit *edtStart, *edtStop;
    QCheckBox *cbxStartup, *cbxPostByDate, *cbxSaveCallerName, *cbxTrimDigits;
    QLineEdit* edtTrimDigits;
    QGroupBox* rdExportFormat;
    QButtonGroup* rdExportFormatItems;
    QCheckBox* cbExtTool;
    QLineEdit *edtToolCaption, *edtToolComline;
    QLabel* stxExe;
    QToolButton* sbExeTool;

private:
    void Build();
    // Drops the characters the session does not keep; false when the text had to change (the
    // change comes back as a change of its own).
    static bool KeepKeys(QLineEdit* e);
};
