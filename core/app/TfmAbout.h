// The About dialog: the program's title and version.
#pragma once

#include <QDialog>

class TfmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfmAbout(QWidget* parent = nullptr);
    static QString VersionText();  // "Pelmorant  v1.8.6"
};
