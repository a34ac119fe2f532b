// Decodes a stream of scans, one per line, writing each result as soon as its line is read
// and reporting rejected lines (no three fields, invalid UTF-8) with their place.
#pragma once

#include "tools/zelvo-decode/ScanFormat.h"

#include <cstdio>
#include <istream>
#include <string>

namespace zelvo {

struct BatchResult {
    long decoded = 0;
    long rejected = 0;
};

// Reads `input` (named `name` in messages) line by line; LF or CRLF ends a line and empty
// lines are skipped. Results go to `out`, flushed per line; messages go to `err`.
BatchResult DecodeStream(std::istream& input, const std::string& name, OutputFormat format,
                         std::FILE* out, std::FILE* err);

} // namespace zelvo
