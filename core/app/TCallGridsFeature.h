// The two call grids as the status bar and the external tool read them: the record count of a
// grid's model, and the recording of a grid's current call from its dataset (the Calls table, or
// the search result).
#pragma once

#include "ICallGrids.h"

class QAbstractItemView;
class TVolgaDataset;

class TCallGridsFeature : public ICallGrids {
public:
    TCallGridsFeature(QAbstractItemView& logger, QAbstractItemView& search, TVolgaDataset& calls,
                      TVolgaDataset& result)
        : logger_(logger), search_(search), calls_(calls), result_(result) {}
    int RecordCount(Grid grid) const override;
    QString CurrentFileName(Grid grid) const override;

private:
    QAbstractItemView& logger_;
    QAbstractItemView& search_;
    TVolgaDataset& calls_;
    TVolgaDataset& result_;
};
