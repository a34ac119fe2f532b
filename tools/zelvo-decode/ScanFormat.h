// The batch decoder's two output formats for one decoded scan, each one line of UTF-8
// ended by "\n": tab-separated with escapes, or a JSON object.
#pragma once

#include "decode/Converter.h"

#include <string>

namespace zelvo {

enum class OutputFormat { Tabs, Json };

// Appends the scan's line to `out`: a buffer used again for every line saves an allocation
// each.
void AppendScan(std::string& out, const DecodedScan& scan, OutputFormat format);

} // namespace zelvo
