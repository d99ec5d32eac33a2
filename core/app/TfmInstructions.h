// The Instructions dialog shown at the first activation.
#pragma once

#include <QDialog>

class QCheckBox;

class TfmInstructions : public QDialog {
    Q_OBJECT
public:
    explicit TfmInstructions(QWidget* parent = nullptr);
    static QString Text();
    QCheckBox* DontShowAgain() const { return dontShow_; }

private:
    QCheckBox* dontShow_;
};
