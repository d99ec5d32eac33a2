#include "TDatasetModel.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QMimeData>
#include <QTableView>
#include <algorithm>

#include "SystemFormat.h"
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

QString TDatasetModel::SampleDate() {
    TDateTime day = 0;
    TVolgaFormatSettings::EncodeDate(2026, 12, 28, day);
    return QString::fromStdString(SystemFormat().FormatDate(day));
}

QString TDatasetModel::SampleTime() {
    TDateTime time = 0;
    TVolgaFormatSettings::EncodeTime(22, 58, 58, 0, time);
    return QString::fromStdString(SystemFormat().FormatTime(time));
}

int TDatasetModel::DefaultWidth(const QTableView* view, const Column& column) {
    // The cell's and the header's margins and the sort indicator's room.
    constexpr int kPadding = 16;
    QFont bold = view->horizontalHeader()->font();
    bold.setBold(true);  // some styles draw titles bold
    const int title = QFontMetrics(bold).horizontalAdvance(column.Title) + kPadding;
    const int sample = column.Sample.isEmpty()
                           ? 0
                           : QFontMetrics(view->font()).horizontalAdvance(column.Sample) + kPadding;
    const int least = std::max(title, sample);
    return column.Width > 0 ? std::max(column.Width, least)
                            : std::max(view->horizontalHeader()->defaultSectionSize(), least);
}

void TDatasetModel::Attach(QTableView* view) {
    view->setModel(this);
    view->setWordWrap(false);
    view->setTextElideMode(Qt::ElideRight);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    for (size_t i = 0; i < columns_.size(); ++i)
        view->setColumnWidth(static_cast<int>(i), DefaultWidth(view, columns_[i]));
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

QStringList TDatasetModel::mimeTypes() const {
    return {kRowsMime};
}

QMimeData* TDatasetModel::mimeData(const QModelIndexList& indexes) const {
    auto* mime = new QMimeData;
    QByteArray rows;
    for (const QModelIndex& i : indexes)
        if (i.column() == 0) rows += QByteArray::number(i.row()) + '\n';
    mime->setData(kRowsMime, rows);
    return mime;
}
