#include "TVisualSql.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimeEdit>

#include "SystemFormat.h"
#include "TClock.h"

namespace {

using Field = TSearchStatement::Field;

constexpr int kSelectorTop = 10;
constexpr int kButtonTop = 8;
constexpr int kFieldLeft = 10;
constexpr int kOperatorLeft = 120;
constexpr int kValueLeft = 240;
constexpr int kPlusLeft = 345;
constexpr int kMinusLeft = 382;
constexpr int kControlWidth = 100;
constexpr int kButtonWidth = 32;
constexpr int kButtonHeight = 25;

QComboBox* DropDown(QWidget* parent, const QStringList& items, const QString& name) {
    auto* box = new QComboBox(parent);
    box->addItems(items);
    box->setEditable(false);
    box->setAccessibleName(name);
    return box;
}

}  // namespace

TVisualSql::TVisualSql(QScrollArea* scrollBox, QObject* parent)
    : QObject(parent), scrollBox_(scrollBox), content_(new QWidget) {
    content_->setObjectName("ScrollBox1Rows");
    scrollBox_->setWidget(content_);
    scrollBox_->setWidgetResizable(false);
    removalTimer_.setInterval(100);
    removalTimer_.setSingleShot(true);
    connect(&removalTimer_, &QTimer::timeout, this, &TVisualSql::RemovePending);
    AddRow();
}

TVisualSql::~TVisualSql() = default;

void TVisualSql::AddRow() {
    Row row;
    row.FieldSelector = DropDown(content_, TSearchStatement::FieldNames(), "Field");
    row.FieldSelector->setMaxVisibleItems(10);
    row.Plus = new QPushButton("+", content_);
    row.Plus->setAccessibleName("Add a row");
    row.Minus = new QPushButton("-", content_);
    row.Minus->setAccessibleName("Remove the row");
    QComboBox* selector = row.FieldSelector;
    QPushButton* minus = row.Minus;
    connect(selector, &QComboBox::currentIndexChanged, this,
            [this, selector](int field) { SetRowField(IndexOf(selector), field); });
    connect(row.Plus, &QPushButton::clicked, this, &TVisualSql::AddRow);
    connect(row.Minus, &QPushButton::clicked, this,
            [this, minus] { MarkRowForRemoval(IndexOf(minus)); });
    rows_.push_back(row);
    CreateFieldControls(rows_.back(), 0);
    PlaceRow(rows_.size() - 1);
    for (QWidget* w : {static_cast<QWidget*>(row.FieldSelector), static_cast<QWidget*>(row.Plus),
                       static_cast<QWidget*>(row.Minus)})
        w->show();
    UpdateFirstMinus();
    ResizeContent();
}

void TVisualSql::MarkRowForRemoval(int row) {
    if (row < 0 || row >= RowCount()) return;
    pendingRemoval_ = row;
    removalTimer_.start();
}

void TVisualSql::RemovePending() {
    const int row = pendingRemoval_;
    pendingRemoval_ = -1;
    if (row < 0 || row >= RowCount() || RowCount() < 2) return;
    Row& r = rows_[static_cast<size_t>(row)];
    for (QWidget* w :
         {static_cast<QWidget*>(r.FieldSelector), static_cast<QWidget*>(r.OperatorSelector),
          static_cast<QWidget*>(r.SelectButton), r.Value, static_cast<QWidget*>(r.Plus),
          static_cast<QWidget*>(r.Minus)})
        delete w;
    rows_.erase(rows_.begin() + row);
    for (size_t i = 0; i < rows_.size(); ++i) PlaceRow(i);
    UpdateFirstMinus();
    ResizeContent();
}

void TVisualSql::ClearRows() {
    removalTimer_.stop();
    pendingRemoval_ = -1;
    for (Row& r : rows_) {
        for (QWidget* w :
             {static_cast<QWidget*>(r.FieldSelector), static_cast<QWidget*>(r.OperatorSelector),
              static_cast<QWidget*>(r.SelectButton), r.Value, static_cast<QWidget*>(r.Plus),
              static_cast<QWidget*>(r.Minus)})
            delete w;
    }
    rows_.clear();
    AddRow();
}

void TVisualSql::SetRowField(int index, int field) {
    if (index < 0 || index >= RowCount() || field < 0 ||
        field >= TSearchStatement::FieldNames().size())
        return;
    Row& row = rows_[static_cast<size_t>(index)];
    if (row.FieldSelector->currentIndex() != field) {
        const QSignalBlocker quiet(row.FieldSelector);
        row.FieldSelector->setCurrentIndex(field);
    }
    delete row.OperatorSelector;
    delete row.SelectButton;
    delete row.Value;
    row.OperatorSelector = nullptr;
    row.SelectButton = nullptr;
    row.Value = nullptr;
    row.Folder = {};
    CreateFieldControls(row, field);
    PlaceRow(static_cast<size_t>(index));
}

void TVisualSql::CreateFieldControls(Row& row, int field) {
    const Field f = TSearchStatement::FieldAt(field);
    if (f == Field::Folder) {
        row.SelectButton = new QPushButton("Select", content_);
        row.SelectButton->setAccessibleName("Select a folder");
        QPushButton* button = row.SelectButton;
        connect(button, &QPushButton::clicked, this, [this, button] { SelectFolder(button); });
    } else {
        row.OperatorSelector = DropDown(content_, TSearchStatement::Operators(f), "Operator");
    }
    const QDateTime now = TClock::Instance().Now();
    switch (f) {
        case Field::Memo:
        case Field::CallerId:
        case Field::Dtmf:
            row.Value = new QLineEdit(content_);
            break;
        case Field::Date: {
            auto* date = new QDateEdit(now.date(), content_);
            date->setCalendarPopup(true);
            row.Value = date;
            break;
        }
        case Field::Time: {
            auto* time = new QTimeEdit(now.time(), content_);
            time->setDisplayFormat("HH:mm:ss");
            row.Value = time;
            break;
        }
        case Field::AgeInDays: {
            auto* days = new QSpinBox(content_);
            days->setRange(0, 100000);
            days->setValue(10);
            row.Value = days;
            break;
        }
        case Field::Channel: {
            QStringList numbers;
            const int count = ChannelCount ? ChannelCount() : 0;
            for (int n = 0; n < count; ++n) numbers << QString::number(n);
            row.Value = DropDown(content_, numbers, "Value");
            break;
        }
        case Field::Folder: {
            auto* text = new QLineEdit(content_);
            text->setReadOnly(true);
            row.Value = text;
            break;
        }
        case Field::CallDirection:
            row.Value = DropDown(content_, TSearchStatement::Directions(), "Value");
            break;
    }
    row.Value->setAccessibleName("Value");
    for (QWidget* w : {static_cast<QWidget*>(row.OperatorSelector),
                       static_cast<QWidget*>(row.SelectButton), row.Value})
        if (w) w->show();
}

void TVisualSql::PlaceRow(size_t index) {
    Row& row = rows_[index];
    const int i = static_cast<int>(index);
    const int selectorTop = kRowStep * i + kSelectorTop;
    const int buttonTop = kRowStep * i + kButtonTop;
    const int height = row.FieldSelector->sizeHint().height();
    row.FieldSelector->setGeometry(kFieldLeft, selectorTop, kControlWidth, height);
    if (row.OperatorSelector)
        row.OperatorSelector->setGeometry(kOperatorLeft, selectorTop, kControlWidth, height);
    if (row.SelectButton)
        row.SelectButton->setGeometry(kOperatorLeft, buttonTop, kControlWidth, kButtonHeight);
    row.Value->setGeometry(kValueLeft, selectorTop, kControlWidth, height);
    row.Plus->setGeometry(kPlusLeft, buttonTop, kButtonWidth, kButtonHeight);
    row.Minus->setGeometry(kMinusLeft, buttonTop, kButtonWidth, kButtonHeight);
}

void TVisualSql::UpdateFirstMinus() {
    if (!rows_.empty()) rows_.front().Minus->setEnabled(rows_.size() >= 2);
}

int TVisualSql::IndexOf(const QObject* control) const {
    for (size_t i = 0; i < rows_.size(); ++i) {
        const Row& r = rows_[i];
        if (control == r.FieldSelector || control == r.OperatorSelector ||
            control == r.SelectButton || control == r.Value || control == r.Plus ||
            control == r.Minus)
            return static_cast<int>(i);
    }
    return -1;
}

void TVisualSql::ResizeContent() {
    content_->resize(kMinusLeft + kButtonWidth + 10, kRowStep * RowCount() + 2 * kSelectorTop);
}

void TVisualSql::SelectFolder(QPushButton* button) {
    const int index = IndexOf(button);
    if (index < 0) return;
    lastFolder_ = PickFolder ? PickFolder() : TfolderData{};
    Row& row = rows_[static_cast<size_t>(index)];
    row.Folder = lastFolder_;
    if (auto* text = qobject_cast<QLineEdit*>(row.Value)) text->setText(lastFolder_.Text);
}

std::vector<TSearchStatement::Criterion> TVisualSql::Criteria() const {
    std::vector<TSearchStatement::Criterion> out;
    for (const Row& row : rows_) {
        TSearchStatement::Criterion c;
        c.CriterionField = TSearchStatement::FieldAt(row.FieldSelector->currentIndex());
        c.Operator = row.OperatorSelector ? row.OperatorSelector->currentIndex() : 0;
        if (auto* text = qobject_cast<QLineEdit*>(row.Value)) c.Text = text->text();
        if (auto* date = qobject_cast<QDateEdit*>(row.Value)) c.Date = date->date();
        if (auto* time = qobject_cast<QTimeEdit*>(row.Value)) c.Time = time->time();
        if (auto* days = qobject_cast<QSpinBox*>(row.Value)) c.Number = days->value();
        if (auto* list = qobject_cast<QComboBox*>(row.Value))
            c.Number = c.CriterionField == TSearchStatement::Field::Channel
                           ? list->currentText().toInt()
                           : list->currentIndex();
        c.FolderId = row.Folder.FolderID;
        out.push_back(c);
    }
    return out;
}

QString TVisualSql::BuildSql(const QString& conjunction) const {
    return TSearchStatement::Build(Criteria(), conjunction, TClock::Instance().Now().date(),
                                   SystemFormat());
}
