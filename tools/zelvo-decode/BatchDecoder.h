// Decodes a stream of scans, one per line, writing each result through Output and
// reporting rejected lines (no three fields, invalid UTF-8, too long) with their place,
// after the scans of the lines before them.
#pragma once

#include "tools/zelvo-decode/Output.h"
#include "tools/zelvo-decode/ScanFormat.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace zelvo {

struct BatchResult {
    long rejected = 0;
    int readError = 0; // errno of a failed read, 0 when the input was read to its end
};

struct BatchOptions {
    OutputFormat format = OutputFormat::Tabs;
    std::uint8_t mask = kDefaultMask;
};

// Reads the descriptor `fd` (named `name` in messages) line by line; empty lines are
// skipped. Output is flushed before every read that may wait, so a scan typed or piped in
// shows at once while a file is written in large blocks. Stops at the first failed write.
BatchResult DecodeStream(int fd, const std::string& name, const BatchOptions& options, Output& out,
                         std::FILE* err);

} // namespace zelvo
