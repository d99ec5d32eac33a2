#include "TPasswordCheck.h"

#include "TIniFile.h"

bool TPasswordCheck::SwitchedOn(Kind kind) const {
    return registry_.ReadBool("General", kind == Kind::Access ? "zilota" : "delato", false);
}

bool TPasswordCheck::Check(Kind kind) const {
    if (!SwitchedOn(kind) || !prompt_) return true;
    return prompt_(kind);
}
