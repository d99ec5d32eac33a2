// The program's message boxes: the message sink that shows texts, questions and input boxes
// as windows. Main thread only.
#pragma once

#include "TMessages.h"

class TMessageBoxes : public TMessages {
public:
    void Show(const QString& text) override;
    bool Confirm(const QString& text) override;
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override;
    // With no display to show them on (the offscreen and minimal platforms), questions that
    // would block the start are answered as cancelled and the text goes to the diagnostics.
    int Choose(const QString& text, const QStringList& buttons) override;
    bool ChooseFolder(const QString& caption, QString& folder) override;
};
