#include "TfmAbout.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "CoreTexts.h"
#include "TPictures.h"

QString TfmAbout::VersionText() {
    return QString(CoreTexts::kAppTitle) + "  v" + CoreTexts::kVersion;
}

TfmAbout::TfmAbout(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About");
    auto* icon = new QLabel(this);
    icon->setPixmap(TPictures::AppIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignCenter);
    auto* title = new QLabel(VersionText(), this);
    title->setObjectName("lblVersion");
    title->setAlignment(Qt::AlignCenter);
    QFont f = title->font();
    f.setPointSize(f.pointSize() + 4);
    f.setBold(true);
    title->setFont(f);
    auto* ok = new QPushButton("Ok", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(icon);
    layout->addWidget(title);
    layout->addWidget(ok, 0, Qt::AlignCenter);
    setFixedSize(320, 200);
}
