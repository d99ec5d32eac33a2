// The folder tree plugged into the main window: its menu items, and storing and clearing it
// through the calls database.
#pragma once

#include "ITreeActions.h"
#include "TTreeController.h"
#include "TfmPelmorantDB.h"

class TTreeFeature : public ITreeActions {
public:
    TTreeFeature(TTreeController& tree, TfmPelmorantDB& db) : tree_(tree), db_(db) {}
    void Action(int item) override { tree_.Action(item); }
    bool Store(QString* error) override { return db_.Tree.ToTable(db_.tblTree, error); }
    void Clear() override { db_.Tree.Clear(); }

private:
    TTreeController& tree_;
    TfmPelmorantDB& db_;
};
