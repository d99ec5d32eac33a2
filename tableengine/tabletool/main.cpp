// tabletool: creates, fills, dumps, checks and exports table files from the command line.
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "Commands.h"

namespace {

const char kUsage[] =
    "usage: tabletool [OPTIONS] COMMAND TABLE ARGS...\n"
    "  create TABLE NAME:TYPE[:SIZE] ...   create an empty table\n"
    "  import TABLE [TSV]                   append tab-separated rows (first line: field names;\n"
    "                                       empty cell = empty value), then save; TSV omitted or\n"
    "                                       \"-\" = standard input\n"
    "  dump TABLE                           the field names, then one line per record\n"
    "  check TABLE                          load the table and print its record count\n"
    "  export TABLE OUT --tab|--comma|--semicolon|--xml\n"
    "  sql FOLDER STATEMENT                 run a SELECT over the table files in FOLDER and print\n"
    "                                       the result as dump does\n"
    "options:\n"
    "  --date-format FMT   date form (default yyyy-mm-dd)\n"
    "  --time-format FMT   time form (default hh:nn:ss, hh:nn:ss.zzz when there are milliseconds)\n"
    "  --password PW       password of a protected table (create: protect the new table)\n"
    "types: smallint integer largeint word boolean float currency date time datetime autoinc\n"
    "       string (SIZE 1-8191 required) memo blob\n"
    "TSV cells: \\t \\n \\r \\\\ and \\xHH stand for tab, line feed, carriage return, backslash\n"
    "and other control bytes, in dump output and in import input.\n";

int Run(const std::vector<std::string>& args) {
    using namespace tabletool;
    Options opt;
    std::vector<std::string> words;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size() || args[i + 1].empty()) throw UsageError(a + " needs a value");
            return args[++i];
        };
        if (a == "--date-format") {
            opt.Format.ShortDateFormat = value();
        } else if (a == "--time-format") {
            opt.Format.LongTimeFormat = value();
            opt.TimeFormatGiven = true;
        } else if (a == "--password") {
            opt.Password = value();
        } else if (a == "--tab" || a == "--comma" || a == "--semicolon" || a == "--xml") {
            if (opt.Separator || opt.Xml) throw UsageError("give one separator option");
            if (a == "--xml") opt.Xml = true;
            else opt.Separator = a == "--tab" ? '\t' : a == "--comma" ? ',' : ';';
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            throw UsageError("unknown option " + a);
        } else {
            words.push_back(a);
        }
    }
    if (words.empty()) throw UsageError("no command");
    const std::string cmd = words[0];
    const size_t n = words.size();
    if ((opt.Separator || opt.Xml) && cmd != "export")
        throw UsageError("separator options belong to export");
    if (cmd == "create" && n >= 3)
        return Create(words[1], std::vector<std::string>(words.begin() + 2, words.end()), opt);
    if (cmd == "import" && (n == 2 || n == 3))
        return Import(words[1], n == 3 && words[2] != "-" ? words[2] : "", opt);
    if (cmd == "dump" && n == 2) return Dump(words[1], opt);
    if (cmd == "check" && n == 2) return Check(words[1], opt);
    if (cmd == "export" && n == 3) {
        if (!opt.Separator && !opt.Xml)
            throw UsageError("export needs --tab, --comma, --semicolon or --xml");
        return Export(words[1], words[2], opt);
    }
    if (cmd == "sql" && n == 3) return Sql(words[1], words[2], opt);
    if (cmd != "create" && cmd != "import" && cmd != "dump" && cmd != "check" && cmd != "export" &&
        cmd != "sql")
        throw UsageError("unknown command " + cmd);
    throw UsageError("wrong number of arguments for " + cmd);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const tabletool::UsageError& e) {
        std::fprintf(stderr, "tabletool: %s\n%s", e.what(), kUsage);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tabletool: %s\n", e.what());
        return 1;
    }
}
