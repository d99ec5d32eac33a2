// Where the program's message boxes go: shown to the user, or recorded by tests. This base
// shows nothing (the text goes to the diagnostics, questions count as cancelled); the program
// sets its message boxes as the default, and tests install a recorder over it.
#pragma once

#include <QString>
#include <QStringList>

class TMessages {
public:
    virtual ~TMessages() = default;
    // Shows a message; the program goes on (the box stays until the user closes it).
    virtual void Show(const QString& text);
    // Asks with OK and Cancel; true for OK.
    virtual bool Confirm(const QString& text);
    // An input box: false when cancelled; `value` holds the default and then the answer.
    virtual bool InputQuery(const QString& caption, const QString& prompt, QString& value);
    // Asks with the given buttons: the index of the one chosen, or -1 when the box was closed
    // or no one can be asked.
    virtual int Choose(const QString& text, const QStringList& buttons);
    // A folder picker starting at `folder`: false when cancelled, else `folder` is the answer.
    virtual bool ChooseFolder(const QString& caption, QString& folder);

    static TMessages& Instance();
    static void Install(TMessages* sink);     // null restores the default
    static void SetDefault(TMessages* sink);  // the program's boxes; null: this base
};

inline void ShowMessage(const QString& text) {
    TMessages::Instance().Show(text);
}
inline bool ConfirmMessage(const QString& text) {
    return TMessages::Instance().Confirm(text);
}
// The input box of the program: the answer, or the default when cancelled.
inline QString InputBox(const QString& caption, const QString& prompt, const QString& def) {
    QString v = def;
    if (!TMessages::Instance().InputQuery(caption, prompt, v)) return def;
    return v;
}
