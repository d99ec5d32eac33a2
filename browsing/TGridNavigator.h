// The bar under a call grid: first, prior, next and last row, and the delete button (hint
// "Delete"), which asks the grid for "Delete File(s)..." as Ctrl+Delete does.
#pragma once

#include <QWidget>

class QToolButton;
class TCallsGrid;

class TGridNavigator : public QWidget {
    Q_OBJECT
public:
    TGridNavigator(TCallsGrid& grid, QWidget* parent = nullptr);

    // "First", "Prior", "Next", "Last" or "Delete".
    QToolButton* Button(const QString& accessibleName) const;
    // Enables the buttons for the grid's rows and current row.
    void UpdateButtons();

private:
    void Go(int row);

    TCallsGrid& grid_;
};
