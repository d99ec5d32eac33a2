#include "TPlayerFeature.h"

#include <QSlider>

#include "TFileActions.h"
#include "TPlayer.h"
#include "TPlayerPanel.h"
#include "TdeOscilloscope.h"

TPlayerFeature::TPlayerFeature(TPlayer& player, TFileActions& actions, TPlayerPanel& panel,
                               QObject* parent)
    : QObject(parent), player_(player), actions_(actions), panel_(panel) {
    connect(&panel, &TPlayerPanel::playClicked, this, [this] { Run(Command::Play); });
    connect(&panel, &TPlayerPanel::pauseClicked, this, [this] { Run(Command::Pause); });
    connect(&panel, &TPlayerPanel::stopClicked, this, [this] { Run(Command::Stop); });
    connect(&panel, &TPlayerPanel::rewindClicked, this, [this] { Run(Command::Rewind); });
    connect(&panel, &TPlayerPanel::fastForwardClicked, this,
            [this] { Run(Command::FastForward); });
    connect(&panel, &TPlayerPanel::toStartClicked, this, [this] { player_.ToStart(); });
    connect(&panel, &TPlayerPanel::toEndClicked, this, [this] { player_.ToEnd(); });
    connect(&panel, &TPlayerPanel::positionPressed, this, [this] { player_.PositionPressed(); });
    connect(&panel, &TPlayerPanel::positionReleased, this,
            [this](qint64 position) { player_.PositionReleased(position); });
    connect(&panel, &TPlayerPanel::volumeChanged, this,
            [this](int position) { player_.SetVolume(position); });
    connect(&panel, &TPlayerPanel::volumePressed, this, [this] {
        if (player_.FocusGrid) player_.FocusGrid();
    });
    connect(&player, &TPlayer::changed, this, &TPlayerFeature::ShowState);
    connect(&actions, &TFileActions::statesChanged, this, &TPlayerFeature::ShowState);
    connect(&player, &TPlayer::blockSent, this, [this] {
        const TdeWaveFormat& f = player_.OutputFormat();
        panel_.deOscilloscope1()->SetBlock(player_.Output().LastBlock(), f.Channels(),
                                           f.BitsPerSample());
    });
    player_.SetVolume(panel.tbrVolume()->value());
    ShowState();
}

bool TPlayerFeature::Provides(Command command) const {
    const bool active = actions_.Current().Player || Playing();
    switch (command) {
        case Command::Play:
        case Command::Pause:
        case Command::Stop:
            return active;
        case Command::Rewind:
        case Command::FastForward:
            return player_.PlayerState() == TPlayer::Playing;
    }
    return false;
}

void TPlayerFeature::Run(Command command) {
    if (!Provides(command)) {
        ShowState();  // a checkable button clicked in vain shows the state again
        return;
    }
    switch (command) {
        case Command::Play: player_.Play(); break;
        case Command::Pause: player_.Pause(); break;
        case Command::Stop: player_.Stop(); break;
        case Command::Rewind: player_.Rewind(); break;
        case Command::FastForward: player_.FastForward(); break;
    }
    ShowState();
}

bool TPlayerFeature::Playing() const { return player_.PlayerState() != TPlayer::Stopped; }

void TPlayerFeature::Tick() { player_.Tick(); }

void TPlayerFeature::ShowState() {
    panel_.Show(player_.View(), actions_.Current().Player);
    emit commandsChanged();
}
