// The Player menu's commands and the player panel over the player: the panel shows the player's
// state and forwards the user's input to it. Play, Pause and Stop are enabled for a row with a
// recording (the file actions' Player state) or while a recording plays; the seeks while it
// plays. Main thread only.
#pragma once

#include <QObject>
#include <functional>

#include "IPlayer.h"

class TFileActions;
class TPlayer;
class TPlayerPanel;

class TPlayerFeature : public QObject, public IPlayer {
    Q_OBJECT
public:
    TPlayerFeature(TPlayer& player, TFileActions& actions, TPlayerPanel& panel,
                   QObject* parent = nullptr);

    bool Provides(Command command) const override;
    void Run(Command command) override;
    bool Playing() const override;
    void Tick() override;

signals:
    // The commands' enabled states may have changed.
    void commandsChanged();

private:
    void ShowState();

    TPlayer& player_;
    TFileActions& actions_;
    TPlayerPanel& panel_;
};
