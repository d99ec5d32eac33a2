#include "TfmFilterNums.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "RecordingTexts.h"
#include "TDatasetModel.h"
#include "TFilteredNumbers.h"
#include "TMessages.h"

TfmFilterNums::TfmFilterNums(TFilteredNumbers& list, QWidget* parent)
    : QDialog(parent), list_(list), model_(new TDatasetModel(this)) {
    setObjectName("fmFilterNums");
    grid_ = new QTableView(this);
    grid_->setObjectName("gdFiltered");
    grid_->setModel(model_);
    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { SyncCurrent(); });
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->installEventFilter(this);
    grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
    add_ = new QPushButton("Add", this);
    edit_ = new QPushButton("Edit", this);
    delete_ = new QPushButton("Delete", this);
    close_ = new QPushButton("Close", this);
    for (auto [caption, slot] : {std::pair{"Add", &TfmFilterNums::AddClick},
                                 std::pair{"Edit", &TfmFilterNums::EditClick},
                                 std::pair{"Delete", &TfmFilterNums::DeleteClick}}) {
        auto* a = new QAction(caption, grid_);
        a->setObjectName(QString("pmi") + caption);
        connect(a, &QAction::triggered, this, slot);
        grid_->addAction(a);
    }
    connect(add_, &QPushButton::clicked, this, &TfmFilterNums::AddClick);
    connect(edit_, &QPushButton::clicked, this, &TfmFilterNums::EditClick);
    connect(delete_, &QPushButton::clicked, this, &TfmFilterNums::DeleteClick);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {add_, edit_, delete_}) buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(close_);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addLayout(buttons);
    setFixedSize(360, 300);
}

TfmFilterNums::~TfmFilterNums() = default;

void TfmFilterNums::Prepare(int direction) {
    setWindowTitle(direction == 0 ? RecordingTexts::kInboundCaption
                                  : RecordingTexts::kOutboundCaption);
    list_.ShowDirection(direction);
    model_->SetDataset(&list_.tblFiltered(), {{"number", "number", 200}});
    grid_->setColumnWidth(0, 200);
    if (model_->rowCount() > 0) grid_->setCurrentIndex(model_->index(0, 0));
    UpdateButtons();
    grid_->setFocus();
}

void TfmFilterNums::ShowList(int direction) {
    Prepare(direction);
    exec();
    // The lookup at call end reads every entry whatever is shown; the list shows all again.
    list_.ShowAll();
}

void TfmFilterNums::SyncCurrent() {
    TVolgaTable& t = list_.tblFiltered();
    int row = grid_->currentIndex().row();
    if (t.Active() && row >= 0 && row < t.RecordCount()) t.SetRecNo(row + 1);
    UpdateButtons();
}

void TfmFilterNums::UpdateButtons() {
    bool any = list_.tblFiltered().Active() && model_->rowCount() > 0;
    edit_->setEnabled(any);
    delete_->setEnabled(any);
    for (QAction* a : grid_->actions())
        if (a->objectName() != "pmiAdd") a->setEnabled(any);
}

void TfmFilterNums::AddClick() {
    QString number = InputBox(RecordingTexts::kFiltersCaption, RecordingTexts::kTypePhoneNumber, "");
    if (number.isEmpty()) return;
    if (list_.Add(number)) {
        model_->Refresh();
        grid_->setCurrentIndex(model_->index(list_.tblFiltered().RecNo() - 1, 0));
    }
    UpdateButtons();
}

void TfmFilterNums::EditClick() {
    TVolgaTable& t = list_.tblFiltered();
    if (!t.Active() || t.IsEmpty()) return;
    SyncCurrent();
    QString current = QString::fromStdString(t.FieldByName("number").AsString());
    QString number = InputBox(RecordingTexts::kFiltersCaption, RecordingTexts::kTypePhoneNumber,
                              current);
    if (number.isEmpty()) return;
    int row = t.RecNo() - 1;
    if (list_.EditCurrent(number)) {
        model_->Refresh();
        grid_->setCurrentIndex(model_->index(row, 0));
    }
}

void TfmFilterNums::DeleteClick() {
    TVolgaTable& t = list_.tblFiltered();
    if (!t.Active() || t.IsEmpty()) return;
    SyncCurrent();
    int row = t.RecNo() - 1;
    list_.DeleteCurrent();
    model_->Refresh();
    if (model_->rowCount() > 0)
        grid_->setCurrentIndex(model_->index(std::min(row, model_->rowCount() - 1), 0));
    UpdateButtons();
}

bool TfmFilterNums::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        DeleteClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
