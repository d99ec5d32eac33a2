#include "TCallGridsFeature.h"

#include <QAbstractItemView>

#include "TVolgaDataset.h"

int TCallGridsFeature::RecordCount(Grid grid) const {
    const QAbstractItemView& view = grid == Grid::Logger ? logger_ : search_;
    return view.model() ? view.model()->rowCount() : 0;
}

QString TCallGridsFeature::CurrentFileName(Grid grid) const {
    TVolgaDataset& set = grid == Grid::Logger ? calls_ : result_;
    const QAbstractItemView& view = grid == Grid::Logger ? logger_ : search_;
    if (!set.Active()) return QString();
    const int row = view.currentIndex().row();
    TVolgaDataField* f = set.FindField("fileName");
    if (row < 0 || row >= set.RecordCount() || !f) return QString();
    return QString::fromStdString(set.TextAt(row, f->FieldNo()));
}
