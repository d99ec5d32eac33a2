// The print dialog: the printer in use with its orientation and canvas font, the range ("All",
// or "Pages" from a page to a page) and the number of copies. "All" is checked whenever the
// dialog is shown; changing either page number checks "Pages". Created for one print. Main
// thread only.
#pragma once

#include <QDialog>

class QFont;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

class TfmPrintDlg : public QDialog {
    Q_OBJECT
public:
    // What "Ok" takes.
    struct Choice {
        bool All = true;
        int From = 1;
        int To = 1;
        int Copies = 1;
    };

    // The list has `pageCount` pages: "From:" 1 and "To:" the page count.
    TfmPrintDlg(const QString& printerName, bool landscape, const QFont& font, int pageCount,
                QWidget* parent = nullptr);

    Choice Chosen() const;

    QLabel* lblName = nullptr;
    QLabel* lblOrientation = nullptr;
    QLabel* lblFontName = nullptr;
    QLabel* lblFontSize = nullptr;
    QRadioButton* rbAll = nullptr;
    QRadioButton* rbPages = nullptr;
    QSpinBox* speFrom = nullptr;
    QSpinBox* speTo = nullptr;
    QSpinBox* speCopies = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
