#include "tools/zelvo-decode/BatchDecoder.h"

#include "decode/Converter.h"
#include "tools/zelvo-decode/Utf8.h"

namespace zelvo {

BatchResult DecodeStream(std::istream& input, const std::string& name, OutputFormat format,
                         std::FILE* out, std::FILE* err) {
    BatchResult result;
    std::string line;
    for (long number = 1; std::getline(input, line); ++number) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        auto text = Utf8ToUtf16(line);
        if (const auto* bad = std::get_if<Utf8Error>(&text)) {
            std::fprintf(err, "zelvo-decode: %s:%ld: invalid UTF-8 at byte %zu; line skipped\n",
                         name.c_str(), number, bad->offset + 1);
            ++result.rejected;
            continue;
        }
        const auto scan = DecodeScan(std::get<std::u16string>(text));
        if (!scan) {
            std::fprintf(err,
                         "zelvo-decode: %s:%ld: not a scan: fewer than three fields ended by "
                         "\".\"; line skipped\n",
                         name.c_str(), number);
            ++result.rejected;
            continue;
        }
        const std::string formatted = FormatScan(*scan, format);
        std::fwrite(formatted.data(), 1, formatted.size(), out);
        // A scanner typing into a terminal must see each scan decoded as it arrives.
        std::fflush(out);
        ++result.decoded;
    }
    return result;
}

} // namespace zelvo
