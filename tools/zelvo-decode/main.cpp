// zelvo-decode: decodes CueCat scanner output lines from files or standard input.

#include "tools/zelvo-decode/BatchDecoder.h"
#include "Version.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr int kAllDecoded = 0;
constexpr int kSomeRejected = 1;
constexpr int kUsageOrFileError = 2;

constexpr const char* kUsage =
    "Usage: zelvo-decode [--json] [FILE...]\n"
    "Decode CueCat scanner output, one scan per line, from each FILE or from standard\n"
    "input when no FILE is given or FILE is \"-\".\n"
    "\n"
    "Each decoded scan is written as one line: serial number, code type and code\n"
    "separated by tabs, with \\\\, \\t, \\n, \\r and \\xNN escapes for control characters.\n"
    "\n"
    "  --json       write one JSON object per scan: {\"serial\", \"type\", \"code\"}\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "Exit status: 0 when every line decoded, 1 when a line was rejected (reported on\n"
    "standard error), 2 for a usage error or a file that cannot be opened.\n";

int UsageError(const std::string& message) {
    std::fprintf(stderr, "zelvo-decode: %s\nTry 'zelvo-decode --help' for more information.\n",
                 message.c_str());
    return kUsageOrFileError;
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Lines are UTF-8 bytes; text mode would translate them behind our back.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::ios::sync_with_stdio(false);

    zelvo::OutputFormat format = zelvo::OutputFormat::Tabs;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--json") {
            format = zelvo::OutputFormat::Json;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return kAllDecoded;
        } else if (arg == "--version") {
            std::printf("zelvo-decode %.*s\n", static_cast<int>(zelvo::kVersion.size()),
                        zelvo::kVersion.data());
            return kAllDecoded;
        } else {
            return UsageError("unknown option '" + arg + "'");
        }
    }
    if (files.empty()) {
        files.push_back("-");
    }

    int status = kAllDecoded;
    for (const std::string& file : files) {
        zelvo::BatchResult result;
        if (file == "-") {
            result = zelvo::DecodeStream(std::cin, "(standard input)", format, stdout, stderr);
        } else {
            std::ifstream input(file, std::ios::binary);
            if (!input) {
                std::fprintf(stderr, "zelvo-decode: %s: cannot open: %s\n", file.c_str(),
                             std::strerror(errno));
                status = kUsageOrFileError;
                continue;
            }
            result = zelvo::DecodeStream(input, file, format, stdout, stderr);
        }
        if (result.rejected > 0 && status == kAllDecoded) {
            status = kSomeRejected;
        }
    }
    return status;
}
