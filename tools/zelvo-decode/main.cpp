// zelvo-decode: decodes CueCat scanner output lines from files or standard input.

#include "tools/zelvo-decode/BatchDecoder.h"
#include "tools/zelvo-decode/Descriptors.h"
#include "tools/zelvo-decode/LineReader.h"
#include "Version.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kAllDecoded = 0;
constexpr int kSomeRejected = 1;
constexpr int kUsageOrFileError = 2;

constexpr const char* kUsage =
    "Usage: zelvo-decode [--json] [--mask BYTE] [FILE...]\n"
    "Decode CueCat scanner output, one scan per line, from each FILE or from standard\n"
    "input when no FILE is given or FILE is \"-\".\n"
    "\n"
    "Each decoded scan is written as one line: serial number, code type and code\n"
    "separated by tabs, with \\\\, \\t, \\n, \\r and \\xNN escapes for control characters.\n"
    "\n"
    "  --json       write one JSON object per scan: {\"serial\", \"type\", \"code\"}\n"
    "  --mask BYTE  the byte the scanner masks its bytes with, hex (0x43) or decimal\n"
    "               (67), 0 to 255; 0x5A, the default, is what the window decodes\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "Lines end with LF, CRLF or CR; a UTF-8 byte-order mark is skipped; a line over\n"
    "16 MiB is rejected. Exit status: 0 when every line decoded, 1 when a line was\n"
    "rejected (reported on standard error), 2 for a usage error, a file that cannot be\n"
    "read or output that cannot be written. A reader that closes the pipe ends the\n"
    "program by SIGPIPE, as it ends any filter.\n";

static_assert(zelvo::kMaxLineBytes == 16 * 1024 * 1024, "the help text names the limit");

int UsageError(const std::string& message) {
    std::fprintf(stderr, "zelvo-decode: %s\nTry 'zelvo-decode --help' for more information.\n",
                 message.c_str());
    return kUsageOrFileError;
}

// "0x43" or "67", 0 to 255; nothing else.
std::optional<std::uint8_t> ParseMask(const std::string& text) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.size() > 3 ||
        digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") !=
            std::string::npos) {
        return std::nullopt;
    }
    const unsigned long value = std::strtoul(digits.c_str(), nullptr, hex ? 16 : 10);
    if (value > 255) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(value);
}

int WriteError(int error) {
    // A reader that went away (a closed pipe) needs no message.
    if (error != EPIPE) {
        std::fprintf(stderr, "zelvo-decode: write error: %s\n", std::strerror(error));
    }
    return kUsageOrFileError;
}

// Text for --help and --version, written and closed with every failure reported.
int PrintAndClose(const std::string& text) {
    zelvo::Output out(1);
    if (!out.Write(text) || !out.Close()) {
        return WriteError(out.Error());
    }
    return kAllDecoded;
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Lines are UTF-8 bytes; text mode would translate them behind our back.
    _setmode(0, _O_BINARY);
    _setmode(1, _O_BINARY);
#endif
    zelvo::BatchOptions options;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--json") {
            options.format = zelvo::OutputFormat::Json;
        } else if (arg == "--mask" || arg.rfind("--mask=", 0) == 0) {
            const bool joined = arg.size() > 6;
            if (!joined && i + 1 == argc) {
                return UsageError("--mask needs a byte");
            }
            const std::string value = joined ? arg.substr(7) : argv[++i];
            const auto mask = ParseMask(value);
            if (!mask) {
                return UsageError("--mask takes a byte, 0x00 to 0xFF or 0 to 255, not '" + value +
                                  "'");
            }
            options.mask = *mask;
        } else if (arg == "--help" || arg == "-h") {
            return PrintAndClose(kUsage);
        } else if (arg == "--version") {
            std::string version = "zelvo-decode ";
            version.append(zelvo::kVersion).push_back('\n');
            return PrintAndClose(version);
        } else {
            return UsageError("unknown option '" + arg + "'");
        }
    }
    if (files.empty()) {
        files.push_back("-");
    }

    int status = kAllDecoded;
    const auto worse = [&status](int other) {
        if (other > status) {
            status = other;
        }
    };
    zelvo::Output out(1);
    for (const std::string& file : files) {
        const bool standardInput = file == "-";
        const std::string name = standardInput ? "(standard input)" : file;
        const int fd = standardInput ? 0 : zelvo::OpenForReading(file.c_str());
        if (fd < 0) {
            out.Flush(); // the message stands after the scans of the files before
            std::fprintf(stderr, "zelvo-decode: %s: cannot open: %s\n", file.c_str(),
                         std::strerror(errno));
            worse(kUsageOrFileError);
            continue;
        }
        const zelvo::BatchResult result = zelvo::DecodeStream(fd, name, options, out, stderr);
        if (!standardInput) {
            zelvo::CloseDescriptor(fd);
        }
        if (result.readError != 0) {
            out.Flush();
            // A directory, a closed standard input: the system says what went wrong.
            std::fprintf(stderr, "zelvo-decode: %s: %s\n", name.c_str(),
                         std::strerror(result.readError));
            worse(kUsageOrFileError);
        }
        if (result.rejected > 0) {
            worse(kSomeRejected);
        }
        if (out.Error() != 0) {
            break;
        }
    }
    if (!out.Close()) {
        return WriteError(out.Error());
    }
    return status;
}
