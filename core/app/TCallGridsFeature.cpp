#include "TCallGridsFeature.h"

#include <QAbstractItemView>

#include "TVolgaDataset.h"

int TCallGridsFeature::RecordCount(Grid grid) const {
    const QAbstractItemView& view = grid == Grid::Logger ? logger_ : search_;
    return view.model() ? view.model()->rowCount() : 0;
}

QString TCallGridsFeature::CurrentFileName(Grid grid) const {
    // The search result has no recordings of its own yet.
    if (grid != Grid::Logger || !calls_.Active()) return QString();
    const int row = logger_.currentIndex().row();
    TVolgaDataField* f = calls_.FindField("fileName");
    if (row < 0 || !f) return QString();
    return QString::fromStdString(calls_.TextAt(row, f->FieldNo()));
}
