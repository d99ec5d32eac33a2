// The program's pictures, drawn at run time: tile states, view icons and the program icon.
#pragma once

#include <QIcon>
#include <QPixmap>

class TPictures {
public:
    static QPixmap TileOff();     // 32 x 32
    static QPixmap TileIdle();    // 32 x 32
    static QPixmap TileRecord();  // 32 x 32
    static QIcon ViewIcon(int view);  // 0 Logger, 1 Search, 2 Monitor, 3 Alarms
    static QIcon AppIcon();
};
