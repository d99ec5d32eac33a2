// The one check of the two passwords before a guarded command (the first show, a restore from
// the tray, Settings, the developer key for the configuration). Whether a password is switched
// on is read from one place, the flags the configuration stores in the settings registry
// ("zilota" for the access password, "delato" for the administrator's); asking the user is the
// prompt the program plugs in. Main thread only.
#pragma once

#include <functional>

class TIniFile;

class TPasswordCheck {
public:
    enum class Kind { Access, Administrator };
    // Asks for the password of that kind; true when it was typed right.
    using Prompt = std::function<bool(Kind)>;

    explicit TPasswordCheck(TIniFile& registry) : registry_(registry) {}
    void SetPrompt(Prompt prompt) { prompt_ = std::move(prompt); }

    // Whether the password of that kind is switched on.
    bool SwitchedOn(Kind kind) const;
    // True when the command may go on: the password is off, or it was typed right. Without a
    // prompt (a program that has no password windows) nothing can be asked and it goes on.
    bool Check(Kind kind) const;

private:
    TIniFile& registry_;
    Prompt prompt_;
};
