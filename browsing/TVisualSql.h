// The search criteria builder: rows of criteria drawn into the search page's scroll box, each a
// field selector, an operator selector (a "Select" button for a folder), a value control, "+"
// and "-". It writes the statement the search runs (see TSearchStatement). A row is removed on
// the removal timer's next tick after its "-", so that the button is not freed while it is being
// clicked; the only row cannot be removed. Each Folder row keeps the folder chosen with its own
// "Select" button. Main thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <vector>

#include "TSearchStatement.h"
#include "TfolderData.h"

class QComboBox;
class QPushButton;
class QScrollArea;
class QWidget;

class TVisualSql : public QObject {
    Q_OBJECT
public:
    struct Row {
        QComboBox* FieldSelector = nullptr;
        QComboBox* OperatorSelector = nullptr;  // none for a Folder row
        QPushButton* SelectButton = nullptr;    // a Folder row's "Select"
        QWidget* Value = nullptr;
        QPushButton* Plus = nullptr;
        QPushButton* Minus = nullptr;
        TfolderData Folder;  // the folder chosen with this row's "Select"
    };

    // Draws one empty row into `scrollBox`.
    explicit TVisualSql(QScrollArea* scrollBox, QObject* parent = nullptr);
    ~TVisualSql() override;

    // The channel numbers a Channel row offers (0 to count - 1); read when a row becomes one.
    std::function<int()> ChannelCount;
    // The folder picker of "Select" (none: nothing is chosen).
    std::function<TfolderData()> PickFolder;

    void AddRow();
    void MarkRowForRemoval(int row);
    void ClearRows();
    // The statement with `conjunction` ("AND" or "OR") between the rows' conditions.
    QString BuildSql(const QString& conjunction) const;
    void SelectFolder(QPushButton* button);
    // Gives row `row` the field with index `field` (what choosing it in the selector does).
    void SetRowField(int row, int field);

    int RowCount() const { return static_cast<int>(rows_.size()); }
    const Row& RowAt(int row) const { return rows_.at(static_cast<size_t>(row)); }
    int RowPendingRemoval() const { return pendingRemoval_; }
    // The criteria the rows' controls hold now.
    std::vector<TSearchStatement::Criterion> Criteria() const;
    // The folder chosen last with any "Select" button.
    const TfolderData& LastFolder() const { return lastFolder_; }

    // Geometry of row i: selectors and value at top 25 i + 10, buttons at 25 i + 8.
    static constexpr int kRowStep = 25;

private:
    void RemovePending();
    void CreateFieldControls(Row& row, int field);
    void PlaceRow(size_t index);
    void UpdateFirstMinus();
    int IndexOf(const QObject* control) const;
    void ResizeContent();

    QScrollArea* scrollBox_;
    QWidget* content_;
    std::vector<Row> rows_;
    int pendingRemoval_ = -1;
    QTimer removalTimer_;
    TfolderData lastFolder_;
};
