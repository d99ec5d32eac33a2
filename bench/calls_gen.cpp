// Writes a generated Calls table and the same rows as TSV:
//   calls_gen TABLE.d ROWS.tsv [COUNT]     (COUNT defaults to 100000)
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "CallsTableGenerator.h"
#include "TVolgaEnv.h"

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: calls_gen TABLE.d ROWS.tsv [COUNT]\n");
        return 2;
    }
    int count = 100000;
    if (argc == 4) {
        char* end = nullptr;
        long v = std::strtol(argv[3], &end, 10);
        if (*argv[3] == '\0' || *end != '\0' || v < 0 || v > 10000000) {
            std::fprintf(stderr, "calls_gen: bad record count '%s'\n", argv[3]);
            return 2;
        }
        count = static_cast<int>(v);
    }
    try {
        std::string error;
        if (!TVolgaEnv::Default()->WriteFileAtomic(argv[1], callsgen::CallsImage(count), error)) {
            std::fprintf(stderr, "calls_gen: %s: %s\n", argv[1], error.c_str());
            return 1;
        }
        std::ofstream tsv(argv[2], std::ios::binary);
        callsgen::WriteCallsTsv(tsv, count);
        tsv.close();
        if (!tsv) {
            std::fprintf(stderr, "calls_gen: cannot write %s\n", argv[2]);
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "calls_gen: %s\n", e.what());
        return 1;
    }
    return 0;
}
