// The Logger page: the folder tree on the left (panel "Panel13") and the logger grid beside it
// with its navigator bar under it, divided by a splitter the user drags.
#pragma once

#include <QWidget>

class QSplitter;
class TCallsGrid;
class TFolderTreeView;
class TGridNavigator;

class TLoggerPage : public QWidget {
    Q_OBJECT
public:
    explicit TLoggerPage(QWidget* parent = nullptr);

    TFolderTreeView* tree() const { return tree_; }
    TCallsGrid* gdLogger() const { return grid_; }
    QWidget* Panel13() const { return treePanel_; }
    TGridNavigator* Navigator() const { return navigator_; }

    // The tree panel's width; the grid takes the rest of the window's width.
    void SetTreeWidth(int width, int windowWidth);
    int TreeWidth() const;

private:
    QSplitter* splitter_ = nullptr;
    QWidget* treePanel_ = nullptr;
    TFolderTreeView* tree_ = nullptr;
    TCallsGrid* grid_ = nullptr;
    TGridNavigator* navigator_ = nullptr;
};
