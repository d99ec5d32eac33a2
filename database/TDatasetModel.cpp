#include "TDatasetModel.h"

#include <QMimeData>
#include <QTableView>

#include "TVolgaDataset.h"

TDatasetModel::TDatasetModel(QObject* parent) : QAbstractTableModel(parent) {}

void TDatasetModel::SetDataset(TVolgaDataset* dataset, const std::vector<Column>& columns) {
    beginResetModel();
    dataset_ = dataset;
    columns_ = columns;
    fieldIndex_.clear();
    endResetModel();
    Refresh();
}

void TDatasetModel::Attach(QTableView* view) {
    view->setModel(this);
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].Width > 0) view->setColumnWidth(static_cast<int>(i), columns_[i].Width);
}

void TDatasetModel::Refresh() {
    if (updating_ > 0) return;
    beginResetModel();
    fieldIndex_.assign(columns_.size(), -1);
    if (dataset_ && dataset_->Active()) {
        for (size_t i = 0; i < columns_.size(); ++i) {
            TVolgaDataField* f = dataset_->FindField(columns_[i].Field.toStdString());
            fieldIndex_[i] = f ? f->FieldNo() : -1;
        }
    }
    endResetModel();
}

void TDatasetModel::BeginUpdate() {
    if (updating_++ == 0) beginResetModel();
}

void TDatasetModel::EndUpdate() {
    if (updating_ == 0) return;
    if (--updating_ == 0) {
        endResetModel();
        Refresh();
    }
}

int TDatasetModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || updating_ > 0 || !dataset_ || !dataset_->Active()) return 0;
    return dataset_->RecordCount();
}

int TDatasetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TDatasetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || updating_ > 0 || !dataset_ || !dataset_->Active()) return {};
    const int col = index.column();
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(columns_[col].Alignment);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    if (index.row() >= dataset_->RecordCount()) return {};
    int field = col < static_cast<int>(fieldIndex_.size()) ? fieldIndex_[col] : -1;
    if (field < 0) return {};
    return QString::fromStdString(dataset_->DisplayTextAt(index.row(), field));
}

QVariant TDatasetModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || section < 0 || section >= static_cast<int>(columns_.size()))
        return {};
    if (role == Qt::DisplayRole) return columns_[section].Title;
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

Qt::ItemFlags TDatasetModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

QStringList TDatasetModel::mimeTypes() const { return {kRowsMime}; }

QMimeData* TDatasetModel::mimeData(const QModelIndexList& indexes) const {
    auto* mime = new QMimeData;
    QByteArray rows;
    for (const QModelIndex& i : indexes)
        if (i.column() == 0) rows += QByteArray::number(i.row()) + '\n';
    mime->setData(kRowsMime, rows);
    return mime;
}
