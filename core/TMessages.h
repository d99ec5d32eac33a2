// Where the program's message boxes go: shown to the user, or recorded by tests.
#pragma once

#include <QString>
#include <QStringList>

class TMessages {
public:
    virtual ~TMessages() = default;
    // Shows a message; the program goes on (the box stays until the user closes it).
    virtual void Show(const QString& text);

    static TMessages& Instance();
    static void Install(TMessages* sink);  // null restores the real one
};

inline void ShowMessage(const QString& text) { TMessages::Instance().Show(text); }
