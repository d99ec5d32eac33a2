// A navigation bar: one group caption over a column of large item buttons, one of them
// selected.
#pragma once

#include <QList>
#include <QWidget>

class QToolButton;
class QButtonGroup;
class QVBoxLayout;

class TNavigationBar : public QWidget {
    Q_OBJECT
public:
    explicit TNavigationBar(const QString& group, QWidget* parent = nullptr);
    int AddItem(const QString& caption, const QIcon& icon);
    int Count() const { return static_cast<int>(items_.size()); }
    QToolButton* Item(int index) const { return items_.at(index); }
    int Selected() const;
    void SetSelected(int index);  // without emitting itemClicked

signals:
    void itemClicked(int index);

private:
    QList<QToolButton*> items_;
    QButtonGroup* group_;
    QVBoxLayout* layout_;
};
