#include "tools/zelvo-decode/BatchDecoder.h"

#include "decode/Converter.h"
#include "tools/zelvo-decode/LineReader.h"
#include "tools/zelvo-decode/Utf8.h"

#include <optional>

namespace zelvo {

BatchResult DecodeStream(int fd, const std::string& name, const BatchOptions& options, Output& out,
                         std::FILE* err) {
    BatchResult result;
    LineReader reader(fd);
    std::string line;
    std::string formatted;
    const auto reject = [&](const std::string& why) {
        // Messages are rare: flushing first keeps them in the input's order among the scans
        // when both streams go to one terminal or file.
        out.Flush();
        std::fprintf(err, "zelvo-decode: %s:%ld: %s; line skipped\n", name.c_str(),
                     reader.LineNumber(), why.c_str());
        ++result.rejected;
    };
    while (out.Error() == 0) {
        const auto status = reader.Next(line, [&out] { out.Flush(); });
        if (status == LineReader::Status::End) {
            break;
        }
        if (status == LineReader::Status::ReadError) {
            result.readError = reader.Error();
            break;
        }
        if (status == LineReader::Status::TooLong) {
            reject("line longer than " + std::to_string(kMaxLineBytes / (1024 * 1024)) + " MiB");
            continue;
        }
        if (line.empty()) {
            continue;
        }
        std::optional<DecodedScan> scan;
        { // the line's UTF-16 form goes before the output is made: long lines stay in bounds
            auto text = Utf8ToUtf16(line);
            if (const auto* bad = std::get_if<Utf8Error>(&text)) {
                reject("invalid UTF-8 at byte " + std::to_string(bad->offset + 1));
                continue;
            }
            scan = DecodeScan(std::get<std::u16string>(text), options.mask);
        }
        if (!scan) {
            reject("not a scan: fewer than three fields ended by \".\"");
            continue;
        }
        formatted.clear();
        AppendScan(formatted, *scan, options.format);
        out.Write(formatted);
    }
    return result;
}

} // namespace zelvo
