#include "TfmPreview.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "BrowsingTexts.h"
#include "TMessages.h"
#include "TPreviewPages.h"

TfmPreview::TfmPreview(TPreviewPages& pages, QWidget* parent) : QDialog(parent), pages_(pages) {
    setWindowTitle(BrowsingTexts::kPreviewCaption);
    setMinimumSize(500, 400);
    QPalette silver = palette();
    silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(silver);
    setAutoFillBackground(true);

    btnPrint = new QPushButton(BrowsingTexts::kPreviewPrint, this);
    btnPrevious = new QPushButton(BrowsingTexts::kPreviousPage, this);
    btnNext = new QPushButton(BrowsingTexts::kNextPage, this);
    btnClose = new QPushButton(BrowsingTexts::kClose, this);
    for (QPushButton* b : {btnPrint, btnPrevious, btnNext, btnClose}) b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnPrint);
    buttons->addWidget(btnPrevious);
    buttons->addWidget(btnNext);
    buttons->addStretch();
    buttons->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addStretch();

    connect(btnPrint, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    // A page that cannot be drawn is said; the window stays.
    connect(btnNext, &QPushButton::clicked, this, [this] {
        QString error;
        if (pages_.NextPage(&error) && !error.isEmpty()) ShowMessage(error);
    });
    connect(btnPrevious, &QPushButton::clicked, this, [this] {
        QString error;
        if (pages_.PreviousPage(&error) && !error.isEmpty()) ShowMessage(error);
    });
    connect(&pages_, &TPreviewPages::rendered, this, qOverload<>(&QWidget::update));
}

void TfmPreview::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    QString error;
    if (!pages_.Render(&error)) ShowMessage(error);
}

void TfmPreview::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    const QImage& page = pages_.Scaled(size());
    if (page.isNull()) return;
    QPainter painter(this);
    painter.drawImage(pages_.Position(size()), page);
}
