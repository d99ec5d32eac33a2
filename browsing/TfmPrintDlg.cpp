#include "TfmPrintDlg.h"

#include <QFont>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "BrowsingTexts.h"

TfmPrintDlg::TfmPrintDlg(const QString& printerName, bool landscape, const QFont& font,
                         int pageCount, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(BrowsingTexts::kPrintCaption);

    auto* printer = new QGroupBox(BrowsingTexts::kPrinterGroup, this);
    lblName = new QLabel(BrowsingTexts::kPrinterName + printerName, printer);
    lblOrientation =
        new QLabel(landscape ? BrowsingTexts::kLandscape : BrowsingTexts::kPortrait, printer);
    lblFontName = new QLabel(BrowsingTexts::kFontName + font.family(), printer);
    lblFontSize = new QLabel(BrowsingTexts::kFontSize + QString::number(font.pointSize()), printer);
    auto* printerLayout = new QVBoxLayout(printer);
    for (QLabel* l : {lblName, lblOrientation, lblFontName, lblFontSize})
        printerLayout->addWidget(l);

    const int pages = std::max(1, pageCount);
    auto* range = new QGroupBox(BrowsingTexts::kRangeGroup, this);
    rbAll = new QRadioButton(BrowsingTexts::kRangeAll, range);
    rbPages = new QRadioButton(BrowsingTexts::kRangePages, range);
    speFrom = new QSpinBox(range);
    speTo = new QSpinBox(range);
    for (QSpinBox* s : {speFrom, speTo}) s->setRange(1, pages);
    speFrom->setValue(1);
    speTo->setValue(pages);
    speFrom->setAccessibleName(BrowsingTexts::kRangeFrom);
    speTo->setAccessibleName(BrowsingTexts::kRangeTo);
    auto* numbers = new QFormLayout;
    numbers->addRow(BrowsingTexts::kRangeFrom, speFrom);
    numbers->addRow(BrowsingTexts::kRangeTo, speTo);
    auto* rangeLayout = new QVBoxLayout(range);
    rangeLayout->addWidget(rbAll);
    rangeLayout->addWidget(rbPages);
    rangeLayout->addLayout(numbers);

    auto* copies = new QGroupBox(BrowsingTexts::kCopiesGroup, this);
    speCopies = new QSpinBox(copies);
    speCopies->setRange(1, 1000);
    speCopies->setValue(1);
    speCopies->setAccessibleName(BrowsingTexts::kCopies);
    auto* copiesLayout = new QFormLayout(copies);
    copiesLayout->addRow(BrowsingTexts::kCopies, speCopies);

    btnOk = new QPushButton(BrowsingTexts::kOk, this);
    btnCancel = new QPushButton(BrowsingTexts::kCancel, this);
    btnOk->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(printer);
    layout->addWidget(range);
    layout->addWidget(copies);
    layout->addLayout(buttons);

    rbAll->setChecked(true);
    for (QSpinBox* s : {speFrom, speTo})
        connect(s, &QSpinBox::valueChanged, rbPages, [this] { rbPages->setChecked(true); });
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfmPrintDlg::showEvent(QShowEvent* event) {
    rbAll->setChecked(true);
    QDialog::showEvent(event);
}

TfmPrintDlg::Choice TfmPrintDlg::Chosen() const {
    return Choice{rbAll->isChecked(), speFrom->value(), speTo->value(), speCopies->value()};
}
