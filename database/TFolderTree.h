// The folder tree: nodes with a text, a FolderID and an expanded state, in a Qt item model that
// the tree view shows. Reading and writing the stored forms (the Tree table, the legacy INI
// layout) and per-date filing live here, without any widget.
#pragma once

#include <QObject>
#include <QStandardItemModel>
#include <QStringList>
#include <functional>
#include <vector>

class TIniFile;
class TVolgaTable;

// The folder of the day that new calls are filed under.
struct TDateInUse {
    QString DateText;
    QString FolderId;
};

class TFolderTree : public QObject {
    Q_OBJECT
public:
    enum Roles { FolderIdRole = Qt::UserRole + 1, ExpandedRole };

    explicit TFolderTree(QObject* parent = nullptr);
    QStandardItemModel* Model() { return &model_; }

    // Structure, in tree order (depth first, a parent before its children).
    QList<QStandardItem*> Nodes() const;
    int Count() const;
    QStandardItem* NodeAt(int index) const;
    int IndexOf(const QStandardItem* node) const;
    static int Level(const QStandardItem* node);
    QStandardItem* FirstRoot() const;
    static QString FolderId(const QStandardItem* node);
    static bool Expanded(const QStandardItem* node);
    static void SetExpanded(QStandardItem* node, bool expanded);
    static QStandardItem* ParentOf(QStandardItem* node);  // null for a root

    // Nodes. New nodes are not editable until the view starts editing them.
    QStandardItem* NewNode(const QString& text, const QString& folderId);
    QStandardItem* AddChild(QStandardItem* parent, const QString& text, const QString& folderId);
    QStandardItem* AddSibling(QStandardItem* node, const QString& text, const QString& folderId);
    QStandardItem* InsertBefore(QStandardItem* node, const QString& text, const QString& folderId);
    // Removes a node with its sub-tree; nodeDeleted is emitted for each node, the node first.
    void Remove(QStandardItem* node);
    // Moves a sub-tree: before `target` as its sibling, or as its first child.
    void Move(QStandardItem* node, QStandardItem* target, bool asFirstChild);
    bool IsDescendant(const QStandardItem* node, const QStandardItem* ancestor) const;
    void Clear();  // emits nodeDeleted for every node

    // The stored level form: "#" per level, then the text.
    static QString NodePos(int level, const QString& text);
    // Level of a stored node: when NodePos is level markers followed by NodeText exactly, the
    // count of those markers (so texts that begin with "#", blanks or tabs survive); otherwise
    // the leading "#", tabs and blanks of NodePos, and the rest of it is the text.
    static void ParseNodePos(const QString& nodePos, const QString& nodeText, int& level,
                             QString& text);

    struct StoredNode {
        int Level = 0;
        QString Text;
        QString FolderId;
        bool Expanded = false;
    };
    // Rebuilds the tree; false with `error` when a node is more than one level deeper than the
    // one before it (the tree is then left empty).
    bool Build(const std::vector<StoredNode>& nodes, QString* error = nullptr);
    std::vector<StoredNode> Snapshot() const;

    bool FromTable(TVolgaTable& tree, QString* error = nullptr);  // TreeFromVolgaTbl
    bool FromIni(const TIniFile& ini, QString* error = nullptr);  // TreeFromIni
    // TreeToVolgaTbl: empties the table, appends every node and saves. False with the failing
    // step's message.
    bool ToTable(TVolgaTable& tree, QString* error = nullptr) const;

    // Per-date filing: finds or creates the year, month and date folders of `date` under the
    // first root and fills `dateInUse`. `newId` gives the identifiers of new folders. Returns
    // true when nodes were added.
    bool FindOrCreateDateNode(const QDate& date, TDateInUse& dateInUse,
                              const std::function<QString()>& newId);
    static QString YearText(const QDate& date);
    static QString MonthText(const QDate& date);  // "June 2024", in the system's language
    static QString DateFolderText(const QDate& date);  // the system's short date

signals:
    void nodeDeleted(const QString& folderId);

private:
    void CollectNodes(QStandardItem* parent, QList<QStandardItem*>& out) const;
    void EmitDeleted(QStandardItem* node);
    QStandardItemModel model_;
};
