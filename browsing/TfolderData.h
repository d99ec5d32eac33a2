// A folder as the search's folder picker gives it: its FolderID and its text, both empty when
// no folder was chosen.
#pragma once

#include <QString>

struct TfolderData {
    QString FolderID;
    QString Text;
};
