// The Search page: the search criteria above (the scroll box "ScrollBox1"), the search grid and
// its navigator bar.
#pragma once

#include <QWidget>

class QScrollArea;
class TCallsGrid;
class TGridNavigator;

class TSearchPage : public QWidget {
    Q_OBJECT
public:
    explicit TSearchPage(QWidget* parent = nullptr);

    TCallsGrid* gdSearch() const { return grid_; }
    QScrollArea* ScrollBox1() const { return criteria_; }
    TGridNavigator* Navigator() const { return navigator_; }

private:
    QScrollArea* criteria_ = nullptr;
    TCallsGrid* grid_ = nullptr;
    TGridNavigator* navigator_ = nullptr;
};
