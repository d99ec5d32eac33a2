// The program's modules started as the executable starts them, for tests that drive the
// whole program in their own process.
#pragma once

#include <QStringList>
#include <memory>

#include "TPelmApplication.h"

// Null when the start was aborted (no window is then shown).
inline std::unique_ptr<TPelmApplication> StartProgram(const QStringList& args) {
    auto program = std::make_unique<TPelmApplication>(args);
    if (!program->Start()) return nullptr;
    program->Run();
    return program;
}
