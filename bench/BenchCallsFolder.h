// A temporary data folder for the whole-database benchmarks: the program's stores in it, a
// recordings folder, and a Calls table of generated calls written before the database opens.
#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <string>

#include "CallsTableGenerator.h"
#include "SystemFormat.h"
#include "TLiveSettings.h"
#include "TPelmGlobals.h"

struct BenchCallsFolder {
    QTemporaryDir dir;
    TPelmGlobals globals;
    TLiveSettings settings;

    explicit BenchCallsFolder(int calls) {
        SetSystemFormat(TVolgaFormatSettings::Iso());
        globals.AppDataDir = dir.path();
        globals.SettingsIni.Open(dir.path() + "/Pelmorant.ini");
        settings.edtFolder = dir.path() + "/wav/";
        QDir().mkpath(settings.edtFolder);
        std::ofstream(dir.path().toStdString() + "/Calls.d", std::ios::binary)
            << callsgen::CallsImage(calls);
    }
};
