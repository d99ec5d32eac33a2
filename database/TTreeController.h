// The folder tree's edit actions, its selection (which shows a folder's calls in the logger
// grid), the dragging of folders and of call rows, and moving calls between folders.
#pragma once

#include <QObject>
#include <functional>

class QStandardItem;
class ICallRows;
class TDatasetModel;
class TFolderTreeView;
class TfmPelmorantDB;

class TTreeController : public QObject {
    Q_OBJECT
public:
    enum Item {
        AddNode = 0,
        AddChildNode,
        InsertNode,
        DeleteNode,
        RenameNode,
        ExpandNode,
        CollapseNode,
        ExpandAll,
        CollapseAll,
        ItemCount
    };

    TTreeController(TfmPelmorantDB& db, TFolderTreeView* view, ICallRows* grid,
                    TDatasetModel* gridModel, QObject* parent = nullptr);

    void Action(int item);
    bool ActionEnabled(int item) const { return enabled_[item]; }
    void ShowFolder(QStandardItem* node);
    void ShowSelectedFolder();
    void ExpandAllAndSelectLast();
    static QString FolderFilter(const QString& folderId);

    bool DeletingFolder = false;
    // Hooks into the main window.
    std::function<void()> MarkTreeChanged;                  // sets TreeChanged
    std::function<void(int item, bool on)> SetItemEnabled;  // the Tree menu's items
    std::function<void()> UpdateFileActions;
    // Call rows dropped on a folder: the grid's target rows go to that folder (the file
    // actions' move).
    std::function<void(const QString& folderId)> MoveCallsToFolder;
    std::function<bool()> PlayerPlaying;
    std::function<void(int step, int steps)> Progress;  // step -1: hide

private:
    QStandardItem* StartNewNode(QStandardItem* node);
    void SetEnabled(int item, bool on);
    void UpdateExpandItems(QStandardItem* node);
    void DeleteFolderCalls(const QString& folderId);

    TfmPelmorantDB& db_;
    TFolderTreeView* view_;
    ICallRows* grid_;
    TDatasetModel* gridModel_;
    bool enabled_[ItemCount] = {true, true, false, false, false, false, false, true, true};
};
