#include "TMonitorPage.h"

#include <QScrollArea>
#include <QVBoxLayout>

#include "TChannelTable.h"
#include "TGradientPanel.h"
#include "TLedImage.h"
#include "TPictures.h"

TMonitorPage::TMonitorPage(QWidget* parent) : QWidget(parent) {
    auto* header = new TGradientPanel("Channel activity monitor", this);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName("sclMonitor");
    canvas_ = new QWidget;
    canvas_->setMinimumSize(200, 120);
    scroll_->setWidget(canvas_);
    scroll_->setWidgetResizable(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addWidget(scroll_, 1);
    imOff_ = new TLedImage(canvas_);
    imIdle_ = new TLedImage(canvas_);
    imRecord_ = new TLedImage(canvas_);
    imOff_->SetPicture(TPictures::TileOff());
    imIdle_->SetPicture(TPictures::TileIdle());
    imRecord_->SetPicture(TPictures::TileRecord());
    imOff_->hide();
    imIdle_->hide();
    imRecord_->hide();
}

void TMonitorPage::BuildMonitorTiles(const TChannelTable& table) {
    for (Tile& t : tiles_) {
        delete t.StateImage;
        delete t.NameLabel;
        delete t.StateLabel;
    }
    tiles_.clear();
    const int n = table.Count();
    QFont font("MS Sans Serif", 8);
    int maxRight = 0, maxBottom = 0;
    for (int k = 0; k < n; ++k) {
        Tile t;
        int left = 0, top = 0;
        TChannelTable::TilePosition(k, n, left, top);
        t.StateImage = new TLedImage(canvas_);
        t.StateImage->move(left, top);
        t.StateImage->SetPicture(imOff_->pixmap());
        t.StateImage->SetTag(0);
        t.NameLabel = new QLabel(canvas_);
        t.NameLabel->setGeometry(left - 25, top + 35, 80, 15);
        t.StateLabel = new QLabel(canvas_);
        t.StateLabel->setGeometry(left - 25, top + 35 + 15, 80, 15);
        for (QLabel* l : {t.NameLabel, t.StateLabel}) {
            l->setAlignment(Qt::AlignCenter);
            l->setFont(font);
            QPalette pal = l->palette();
            pal.setColor(QPalette::WindowText, Qt::black);
            l->setPalette(pal);
        }
        t.StateImage->show();
        t.NameLabel->show();
        t.StateLabel->show();
        maxRight = std::max(maxRight, left + 70);
        maxBottom = std::max(maxBottom, top + 70);
        tiles_ << t;
    }
    canvas_->setMinimumSize(maxRight, maxBottom);
}

void TMonitorPage::Sync(const TChannelTable& table) {
    for (int k = 0; k < tiles_.size() && k < table.Count(); ++k) {
        const Tchannel& c = table[k];
        Tile& t = tiles_[k];
        int tag = static_cast<int>(c.StateImage);
        if (t.StateImage->Tag() != tag) {
            const TLedImage* from = c.StateImage == TTileState::Record ? imRecord_
                                    : c.StateImage == TTileState::Idle ? imIdle_
                                                                        : imOff_;
            t.StateImage->SetPicture(from->pixmap());
            t.StateImage->SetTag(tag);
        }
        if (t.NameLabel->text() != c.NameLabel) t.NameLabel->setText(c.NameLabel);
        if (t.StateLabel->text() != c.StateLabel) t.StateLabel->setText(c.StateLabel);
    }
}
