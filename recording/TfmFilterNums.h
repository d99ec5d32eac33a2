// The dialog that lists the filtered numbers of one direction, with Add, Edit and Delete.
#pragma once

#include <QDialog>

class QPushButton;
class QTableView;
class TDatasetModel;
class TFilteredNumbers;

class TfmFilterNums : public QDialog {
    Q_OBJECT
public:
    explicit TfmFilterNums(TFilteredNumbers& list, QWidget* parent = nullptr);
    ~TfmFilterNums() override;

    // Shows the list of a direction (0 incoming, 1 outgoing) modally.
    void ShowList(int direction);
    // Prepares the dialog for a direction without running it (tests show it themselves).
    void Prepare(int direction);

    void AddClick();
    void EditClick();
    void DeleteClick();

    QTableView* Grid() const { return grid_; }
    QPushButton* btnAdd() const { return add_; }
    QPushButton* btnEdit() const { return edit_; }
    QPushButton* btnDelete() const { return delete_; }
    QPushButton* btnClose() const { return close_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateButtons();
    void SyncCurrent();
    TFilteredNumbers& list_;
    TDatasetModel* model_;
    QTableView* grid_;
    QPushButton* add_;
    QPushButton* edit_;
    QPushButton* delete_;
    QPushButton* close_;
};
