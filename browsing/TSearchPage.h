// The Search page: the search criteria above (the scroll box "ScrollBox1" with the criteria
// rows, "Search" and "Clear", and the matching options, which stay hidden), the search grid and
// its navigator bar. The page shows and forwards: "Search" and "Clear" are signals.
#pragma once

#include <QWidget>

class QGroupBox;
class QPushButton;
class QRadioButton;
class QScrollArea;
class TCallsGrid;
class TGridNavigator;
class TVisualSql;

class TSearchPage : public QWidget {
    Q_OBJECT
public:
    explicit TSearchPage(QWidget* parent = nullptr);

    TCallsGrid* gdSearch() const { return grid_; }
    QScrollArea* ScrollBox1() const { return criteria_; }
    TGridNavigator* Navigator() const { return navigator_; }
    TVisualSql* VisualSql() const { return visualSql_; }
    QPushButton* SearchButton() const { return search_; }
    QPushButton* ClearButton() const { return clear_; }
    QRadioButton* MatchAny() const { return matchAny_; }

    // "AND", or "OR" with "Match any of the terms".
    QString Conjunction() const;

signals:
    void searchClicked();
    void clearClicked();

private:
    QScrollArea* criteria_ = nullptr;
    TVisualSql* visualSql_ = nullptr;
    QPushButton* search_ = nullptr;
    QPushButton* clear_ = nullptr;
    QGroupBox* matching_ = nullptr;
    QRadioButton* matchAll_ = nullptr;
    QRadioButton* matchAny_ = nullptr;
    TCallsGrid* grid_ = nullptr;
    TGridNavigator* navigator_ = nullptr;
};
