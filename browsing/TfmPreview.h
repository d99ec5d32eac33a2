// The print preview window: one page of the call list at a time, scaled to the window on a
// silver background, with "Print", "Previous page", "Next page" and "Close". It shows the state
// of TPreviewPages and forwards the buttons to it; a resize renders the page again. "Print"
// closes it accepted (the print choice), "Close" rejected. Main thread only.
#pragma once

#include <QDialog>

class QPushButton;
class TPreviewPages;

class TfmPreview : public QDialog {
    Q_OBJECT
public:
    explicit TfmPreview(TPreviewPages& pages, QWidget* parent = nullptr);

    bool PrintChosen() const { return result() == QDialog::Accepted; }
    TPreviewPages& Pages() const { return pages_; }

    QPushButton* btnPrint = nullptr;
    QPushButton* btnPrevious = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnClose = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    TPreviewPages& pages_;
};
