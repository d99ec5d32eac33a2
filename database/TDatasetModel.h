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
        int Width = 0;  // at least this wide (at the reference font); 0: the view's default
        Qt::Alignment Alignment = Qt::AlignLeft | Qt::AlignVCenter;
        QString Sample =
            QString();  // the widest value of the column's format (a date, a time), if any
    };

    explicit TDatasetModel(QObject* parent = nullptr);
    void SetDataset(TVolgaDataset* dataset, const std::vector<Column>& columns);
    TVolgaDataset* Dataset() const { return dataset_; }
    const std::vector<Column>& Columns() const { return columns_; }
    // Shows the model in `view` with the columns' default widths: never narrower than the
    // title or the sample value at the view's font. Rows are one line high; longer texts end in
    // an ellipsis.
    void Attach(QTableView* view);
    // Samples of the widest date and time the program writes (in the system's format), of a
    // duration and of a telephone number.
    static QString SampleDate();
    static QString SampleTime();
    static QString SampleDuration() { return QStringLiteral("00:00:00"); }
    // A telephone number of twelve digits.
    static QString SampleNumber() { return QStringLiteral("000000000000"); }
    // The width a column takes by default in `view`.
    static int DefaultWidth(const QTableView* view, const Column& column);

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
