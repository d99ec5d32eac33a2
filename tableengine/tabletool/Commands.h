// The commands of tabletool. Each returns the exit status; errors are reported on stderr.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "TVolgaFormatSettings.h"

namespace tabletool {

// A command line the tool cannot run at all (exit status 2, with the usage text).
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& what) : std::runtime_error(what) {}
};

struct Options {
    TVolgaFormatSettings Format = TVolgaFormatSettings::Iso();
    bool TimeFormatGiven = false;  // else times with milliseconds get ".zzz"
    std::string Password;
    char Separator = 0;  // export: '\t', ',' or ';'
    bool Xml = false;    // export: the XML rowset document
};

int Create(const std::string& table, const std::vector<std::string>& specs, const Options& opt);
int Import(const std::string& table, const std::string& tsvPath, const Options& opt);
int Dump(const std::string& table, const Options& opt);
int Check(const std::string& table, const Options& opt);
int Export(const std::string& table, const std::string& out, const Options& opt);
// Runs a SELECT over the table files in `folder` and prints the result as dump does.
int Sql(const std::string& folder, const std::string& statement, const Options& opt);

}  // namespace tabletool
