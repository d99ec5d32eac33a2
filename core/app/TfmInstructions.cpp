#include "TfmInstructions.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "TPictures.h"

QString TfmInstructions::Text() {
    return "This demo simulates the actual function of the recorder. \r\n\r\nThe recorder has its "
           "own device connected to analog lines and functions automatically. When you pick up "
           "the handset it starts recording. When you hang it up it stops and saves the "
           "conversation to you hard disk. To simulate the function here click the record "
           "button to start recording and click it again to terminate it. \r\n\r\nYour "
           "soundcard microphone is used as the input. \r\n\r\nAll other functions regarding "
           "functionality are the same.";
}

TfmInstructions::TfmInstructions(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Instructions");
    auto* header = new QWidget(this);
    header->setAutoFillBackground(true);
    QPalette pal = header->palette();
    pal.setColor(QPalette::Window, Qt::white);
    header->setPalette(pal);
    auto* picture = new QLabel(header);
    picture->setPixmap(TPictures::AppIcon().pixmap(48, 48));
    auto* title = new QLabel("How to use this demo software", header);
    QFont f = title->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 3);
    title->setFont(f);
    auto* hl = new QHBoxLayout(header);
    hl->addWidget(picture);
    hl->addWidget(title, 1);

    QString text = Text();
    text.replace("\r\n", "\n");
    auto* body = new QLabel(text, this);
    body->setObjectName("lblText");
    body->setWordWrap(true);
    dontShow_ = new QCheckBox("Don't show this message again", this);
    auto* close = new QPushButton("Close", this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(dontShow_);
    bottom->addStretch(1);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(header);
    layout->addWidget(body, 1);
    layout->addLayout(bottom);
    setFixedSize(460, 360);
}
