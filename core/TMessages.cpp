#include "TMessages.h"

#include <QtGlobal>

namespace {
TMessages plainSink;
TMessages* defaultSink = &plainSink;
TMessages* installed = nullptr;
}  // namespace

TMessages& TMessages::Instance() {
    return installed ? *installed : *defaultSink;
}
void TMessages::Install(TMessages* sink) {
    installed = sink;
}
void TMessages::SetDefault(TMessages* sink) {
    defaultSink = sink ? sink : &plainSink;
}

// Without a window system nothing can be shown or asked: the text goes to the diagnostics and
// every question is answered as cancelled.
void TMessages::Show(const QString& text) {
    qWarning("%s", qUtf8Printable(text));
}

bool TMessages::Confirm(const QString& text) {
    qWarning("%s", qUtf8Printable(text));
    return false;
}

bool TMessages::InputQuery(const QString&, const QString&, QString&) {
    return false;
}

int TMessages::Choose(const QString& text, const QStringList&) {
    qWarning("%s", qUtf8Printable(text));
    return -1;
}

bool TMessages::ChooseFolder(const QString&, QString&) {
    return false;
}
