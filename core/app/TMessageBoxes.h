// The program's message boxes: the message sink that shows texts, questions and input boxes
// as windows. Main thread only.
#pragma once

#include "TMessages.h"

class TMessageBoxes : public TMessages {
public:
    void Show(const QString& text) override;
    bool Confirm(const QString& text) override;
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override;
};
