// A table model over a dataset of the table engine, for the program's grids. Suspending the
// grid's display of a dataset is a model reset (BeginUpdate / EndUpdate).
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

class QTableView;
class TVolgaDataset;

class TDatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString Title;
        QString Field;
        int Width = 0;  // 0: the view's default
        Qt::Alignment Alignment = Qt::AlignLeft | Qt::AlignVCenter;
    };

    explicit TDatasetModel(QObject* parent = nullptr);
    void SetDataset(TVolgaDataset* dataset, const std::vector<Column>& columns);
    TVolgaDataset* Dataset() const { return dataset_; }
    const std::vector<Column>& Columns() const { return columns_; }
    // Shows the model in `view` with the columns' default widths.
    void Attach(QTableView* view);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;

    // Display suspended while the dataset changes; the view is rebuilt at the end.
    void BeginUpdate();
    void EndUpdate();
    void Refresh();

    static constexpr const char* kRowsMime = "application/x-pelmorant-call-rows";

private:
    TVolgaDataset* dataset_ = nullptr;
    std::vector<Column> columns_;
    std::vector<int> fieldIndex_;
    int updating_ = 0;
};
