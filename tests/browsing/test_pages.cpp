// The pages the browsing layer gives the main window: every control a user can act on has a
// visible text or an accessible name, and the transport buttons show the platform's pictures.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QToolButton>

#include "TLoggerPage.h"
#include "TPlayerPanel.h"
#include "TSearchPage.h"

namespace {

// Parts of another control (a view's headers and corner button, a scroll bar) are named by it.
bool PartOfAnotherControl(const QWidget* w) {
    if (w->inherits("QScrollBar")) return true;
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (qobject_cast<const QAbstractItemView*>(p)) return true;
    return false;
}

QStringList Unnamed(const QWidget& page) {
    QStringList unnamed;
    for (QWidget* w : page.findChildren<QWidget*>()) {
        const bool actable = qobject_cast<QAbstractButton*>(w) ||
                             qobject_cast<QAbstractSlider*>(w) ||
                             qobject_cast<QAbstractItemView*>(w);
        if (!actable || PartOfAnotherControl(w)) continue;
        const auto* button = qobject_cast<QAbstractButton*>(w);
        if (w->accessibleName().isEmpty() && !(button && !button->text().isEmpty()))
            unnamed << w->objectName() + " (" + w->metaObject()->className() + ")";
    }
    return unnamed;
}

}  // namespace

TEST(BrowsingPages, EveryControlHasATextOrAnAccessibleName) {
    TPlayerPanel player;
    TLoggerPage logger;
    TSearchPage search;
    for (const QWidget* page : {static_cast<QWidget*>(&player), static_cast<QWidget*>(&logger),
                                static_cast<QWidget*>(&search)})
        EXPECT_TRUE(Unnamed(*page).isEmpty()) << Unnamed(*page).join(", ").toStdString();

    for (const char* name : {"btnPlay", "btnPause", "btnStop", "btnRewind", "btnFastForward"}) {
        QToolButton* b = player.Button(name);
        ASSERT_NE(b, nullptr) << name;
        EXPECT_FALSE(b->icon().isNull()) << name;
        EXPECT_FALSE(b->toolTip().isEmpty()) << name;
    }
    EXPECT_EQ(player.Button("btnPlay")->accessibleName(), "Play");
}

TEST(BrowsingPages, PlayPauseAndRecordShowAtMostOneDown) {
    TPlayerPanel player;
    auto down = [&player] {
        QStringList d;
        for (const char* name : {"btnPlay", "btnPause", "btnRecord"})
            if (player.Button(name)->isChecked()) d << name;
        return d;
    };
    TPlayer::Display view;
    view.PlayDown = true;
    player.Show(view, true);
    EXPECT_EQ(down(), QStringList{"btnPlay"});
    player.SetRecordDown(true);  // a call starts while the recording plays
    EXPECT_EQ(down(), QStringList{"btnRecord"});
    player.Show(view, true);  // the player's next tick leaves the group as it is
    EXPECT_EQ(down(), QStringList{"btnRecord"});
    view.PlayDown = false;
    view.PauseDown = true;  // paused during the call
    player.Show(view, true);
    EXPECT_EQ(down(), QStringList{"btnPause"});
    view.PauseDown = false;  // stopped: the call is still recorded
    player.Show(view, true);
    EXPECT_EQ(down(), QStringList{"btnRecord"});
    player.SetRecordDown(false);
    EXPECT_EQ(down(), QStringList());
}
