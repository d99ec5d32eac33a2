// The Search page: the search criteria above (the scroll box "ScrollBox1") and the search grid.
#pragma once

#include <QWidget>

class QScrollArea;
class TCallsGrid;

class TSearchPage : public QWidget {
    Q_OBJECT
public:
    explicit TSearchPage(QWidget* parent = nullptr);

    TCallsGrid* gdSearch() const { return grid_; }
    QScrollArea* ScrollBox1() const { return criteria_; }

private:
    QScrollArea* criteria_ = nullptr;
    TCallsGrid* grid_ = nullptr;
};
