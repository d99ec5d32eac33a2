#include "TFolderTree.h"

#include <QLocale>

#include "SystemFormat.h"
#include "TClock.h"
#include "TIniFile.h"
#include "TVolgaTable.h"

TFolderTree::TFolderTree(QObject* parent) : QObject(parent) {}

void TFolderTree::CollectNodes(QStandardItem* parent, QList<QStandardItem*>& out) const {
    for (int r = 0; r < parent->rowCount(); ++r) {
        QStandardItem* c = parent->child(r);
        out << c;
        CollectNodes(c, out);
    }
}

QList<QStandardItem*> TFolderTree::Nodes() const {
    QList<QStandardItem*> out;
    CollectNodes(model_.invisibleRootItem(), out);
    return out;
}

int TFolderTree::Count() const { return static_cast<int>(Nodes().size()); }

QStandardItem* TFolderTree::NodeAt(int index) const { return Nodes().value(index, nullptr); }

int TFolderTree::IndexOf(const QStandardItem* node) const {
    return static_cast<int>(Nodes().indexOf(const_cast<QStandardItem*>(node)));
}

int TFolderTree::Level(const QStandardItem* node) {
    int level = 0;
    for (const QStandardItem* p = node ? node->parent() : nullptr; p; p = p->parent()) ++level;
    return level;
}

QStandardItem* TFolderTree::FirstRoot() const {
    return model_.rowCount() > 0 ? model_.item(0) : nullptr;
}

QString TFolderTree::FolderId(const QStandardItem* node) {
    return node ? node->data(FolderIdRole).toString() : QString();
}

bool TFolderTree::Expanded(const QStandardItem* node) {
    return node && node->data(ExpandedRole).toBool();
}

void TFolderTree::SetExpanded(QStandardItem* node, bool expanded) {
    if (node) node->setData(expanded, ExpandedRole);
}

QStandardItem* TFolderTree::ParentOf(QStandardItem* node) { return node ? node->parent() : nullptr; }

QStandardItem* TFolderTree::NewNode(const QString& text, const QString& folderId) {
    auto* item = new QStandardItem(text);
    item->setData(folderId, FolderIdRole);
    item->setData(false, ExpandedRole);
    item->setEditable(true);
    item->setDragEnabled(true);
    item->setDropEnabled(true);
    return item;
}

QStandardItem* TFolderTree::AddChild(QStandardItem* parent, const QString& text,
                                     const QString& folderId) {
    QStandardItem* item = NewNode(text, folderId);
    (parent ? parent : model_.invisibleRootItem())->appendRow(item);
    return item;
}

QStandardItem* TFolderTree::AddSibling(QStandardItem* node, const QString& text,
                                       const QString& folderId) {
    QStandardItem* parent = node ? node->parent() : nullptr;
    return AddChild(parent, text, folderId);
}

QStandardItem* TFolderTree::InsertBefore(QStandardItem* node, const QString& text,
                                         const QString& folderId) {
    QStandardItem* item = NewNode(text, folderId);
    QStandardItem* parent = node && node->parent() ? node->parent() : model_.invisibleRootItem();
    parent->insertRow(node ? node->row() : parent->rowCount(), item);
    return item;
}

void TFolderTree::EmitDeleted(QStandardItem* node) {
    emit nodeDeleted(FolderId(node));
    for (int r = 0; r < node->rowCount(); ++r) EmitDeleted(node->child(r));
}

void TFolderTree::Remove(QStandardItem* node) {
    if (!node) return;
    EmitDeleted(node);
    QStandardItem* parent = node->parent() ? node->parent() : model_.invisibleRootItem();
    parent->removeRow(node->row());
}

bool TFolderTree::IsDescendant(const QStandardItem* node, const QStandardItem* ancestor) const {
    for (const QStandardItem* p = node ? node->parent() : nullptr; p; p = p->parent())
        if (p == ancestor) return true;
    return false;
}

void TFolderTree::Move(QStandardItem* node, QStandardItem* target, bool asFirstChild) {
    if (!node || !target || node == target || IsDescendant(target, node)) return;
    QStandardItem* from = node->parent() ? node->parent() : model_.invisibleRootItem();
    QList<QStandardItem*> row = from->takeRow(node->row());
    if (row.isEmpty()) return;
    if (asFirstChild) {
        target->insertRow(0, row);
    } else {
        QStandardItem* to = target->parent() ? target->parent() : model_.invisibleRootItem();
        to->insertRow(target->row(), row);
    }
}

void TFolderTree::Clear() {
    for (int r = 0; r < model_.rowCount(); ++r) EmitDeleted(model_.item(r));
    model_.clear();
}

QString TFolderTree::NodePos(int level, const QString& text) {
    return QString(level, '#') + text;
}

void TFolderTree::ParseNodePos(const QString& nodePos, const QString& nodeText, int& level,
                               QString& text) {
    if (nodePos.endsWith(nodeText)) {
        int markers = static_cast<int>(nodePos.size() - nodeText.size());
        bool allMarkers = true;
        for (int i = 0; i < markers; ++i)
            if (nodePos[i] != '#') allMarkers = false;
        if (allMarkers) {
            level = markers;
            text = nodeText;
            return;
        }
    }
    // The stored layout alone: every "#" reads as a tab, and leading tabs and blanks give the
    // level.
    QString line = nodePos;
    line.replace('#', '\t');
    int i = 0;
    while (i < line.size() && (line[i] == '\t' || line[i] == ' ')) ++i;
    level = i;
    text = line.mid(i);
}

bool TFolderTree::Build(const std::vector<StoredNode>& nodes, QString* error) {
    Clear();
    std::vector<QStandardItem*> lastAtLevel;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const StoredNode& n = nodes[i];
        int level = n.Level;
        if (i == 0) level = 0;  // the first line is a root
        if (level > static_cast<int>(lastAtLevel.size())) {
            if (error) *error = QString("Node %1 is more than one level deeper than the node before it").arg(i);
            model_.clear();
            return false;
        }
        QStandardItem* parent = level == 0 ? nullptr : lastAtLevel[static_cast<size_t>(level - 1)];
        QStandardItem* item = AddChild(parent, n.Text, n.FolderId);
        SetExpanded(item, n.Expanded);
        item->setEditable(false);
        lastAtLevel.resize(static_cast<size_t>(level));
        lastAtLevel.push_back(item);
    }
    return true;
}

std::vector<TFolderTree::StoredNode> TFolderTree::Snapshot() const {
    std::vector<StoredNode> out;
    for (QStandardItem* n : Nodes()) out.push_back({Level(n), n->text(), FolderId(n), Expanded(n)});
    return out;
}

bool TFolderTree::FromTable(TVolgaTable& tree, QString* error) {
    try {
        std::vector<StoredNode> nodes;
        for (tree.First(); !tree.Eof(); tree.Next()) {
            StoredNode n;
            QString text = QString::fromStdString(tree.FieldByName("NodeText").AsString());
            ParseNodePos(QString::fromStdString(tree.FieldByName("NodePos").AsString()), text,
                         n.Level, n.Text);
            n.FolderId = QString::fromStdString(tree.FieldByName("FolderID").AsString());
            n.Expanded = tree.FieldByName("Expanded").AsBoolean();
            nodes.push_back(n);
        }
        return Build(nodes, error);
    } catch (const std::exception& e) {
        if (error) *error = QString::fromUtf8(e.what());
        return false;
    }
}

bool TFolderTree::FromIni(const TIniFile& ini, QString* error) {
    std::vector<StoredNode> nodes;
    const QStringList keys = ini.ReadSection("Tree");
    for (int i = 0; i < keys.size(); ++i) {
        StoredNode n;
        QString pos = ini.ReadString("Tree", keys[i], QString());
        ParseNodePos(pos, QString(QChar(0xFFFF)), n.Level, n.Text);  // legacy form only
        n.FolderId = ini.ReadString("Folders", "Node" + QString::number(i), QString());
        n.Expanded = ini.ReadBool("Expanded", "Node" + QString::number(i), false);
        nodes.push_back(n);
    }
    return Build(nodes, error);
}

bool TFolderTree::ToTable(TVolgaTable& tree, QString* error) const {
    auto fail = [error](const char* step) {
        if (error) *error = step;
        return false;
    };
    try {
        tree.EmptyTable();
    } catch (const std::exception& e) {
        if (error) *error = QString::fromUtf8(e.what());
        return false;
    }
    for (QStandardItem* n : Nodes()) {
        try {
            tree.Append();
        } catch (const std::exception&) {
            return fail("tblTree.Post");
        }
        try {
            tree.FieldByName("FolderID").SetAsString(FolderId(n).toStdString());
        } catch (const std::exception&) {
            return fail("FieldByName(FolderID).AsString := st1;");
        }
        try {
            tree.FieldByName("NodeText").SetAsString(n->text().toStdString());
        } catch (const std::exception&) {
            return fail("tblTree[NodeText);");
        }
        try {
            tree.FieldByName("NodePos").SetAsString(NodePos(Level(n), n->text()).toStdString());
        } catch (const std::exception&) {
            return fail("tblTree[NodePos]");
        }
        try {
            tree.FieldByName("Expanded").SetAsBoolean(Expanded(n));
        } catch (const std::exception&) {
            return fail("tblTree[Expanded]");
        }
        try {
            tree.Post();
        } catch (const std::exception&) {
            tree.Cancel();
            return fail("tblTree.Post");
        }
    }
    try {
        tree.SaveChanges();
    } catch (const std::exception&) {
        return fail("tblTree.ApplyUpdates;");
    }
    return true;
}

QString TFolderTree::YearText(const QDate& date) { return date.toString("yyyy"); }

QString TFolderTree::MonthText(const QDate& date) {
    return QLocale::system().standaloneMonthName(date.month(), QLocale::LongFormat) + " " +
           date.toString("yyyy");
}

QString TFolderTree::DateFolderText(const QDate& date) {
    TDateTime d = ToDateTime(QDateTime(date, QTime(0, 0)));
    return QString::fromStdString(SystemFormat().FormatDate(d));
}

bool TFolderTree::FindOrCreateDateNode(const QDate& date, TDateInUse& dateInUse,
                                       const std::function<QString()>& newId) {
    QStandardItem* root = FirstRoot();
    if (!root) return false;
    bool added = false;
    const QString wanted[4] = {QString(), YearText(date), MonthText(date), DateFolderText(date)};
    std::function<void(QStandardItem*, int)> visit = [&](QStandardItem* node, int level) {
        bool matched = false;
        for (int r = 0; r < node->rowCount(); ++r) {
            QStandardItem* child = node->child(r);
            if (child->text().trimmed() != wanted[level]) continue;
            matched = true;
            if (level == 3) dateInUse = {wanted[3], FolderId(child)};
            else visit(child, level + 1);
        }
        if (!matched) {
            QStandardItem* child = AddChild(node, wanted[level], newId());
            child->setEditable(false);
            added = true;
            if (level == 3) dateInUse = {wanted[3], FolderId(child)};
            else visit(child, level + 1);
        }
    };
    visit(root, 1);
    return added;
}
