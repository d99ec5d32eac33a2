// The "Channel activity monitor" page: one tile per channel with its state picture, its label
// and its state text.
#pragma once

#include <QLabel>
#include <QVector>
#include <QWidget>

class QScrollArea;
class TChannelTable;
class TLedImage;

class TMonitorPage : public QWidget {
    Q_OBJECT
public:
    explicit TMonitorPage(QWidget* parent = nullptr);

    void BuildMonitorTiles(const TChannelTable& table);
    // Shows what the channel table holds for each tile.
    void Sync(const TChannelTable& table);

    struct Tile {
        TLedImage* StateImage = nullptr;
        QLabel* NameLabel = nullptr;
        QLabel* StateLabel = nullptr;
    };
    const QVector<Tile>& Tiles() const { return tiles_; }
    QScrollArea* sclMonitor() const { return scroll_; }

private:
    QScrollArea* scroll_;
    QWidget* canvas_;
    TLedImage* imOff_;
    TLedImage* imIdle_;
    TLedImage* imRecord_;
    QVector<Tile> tiles_;
};
