// libFuzzer target: any sequence of 16-bit units as a scan line. Checks the decoder's
// length promise besides the sanitizers' findings.
#include "decode/Converter.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string line(size / 2, u'\0');
    std::memcpy(line.data(), data, line.size() * 2);

    const auto scan = zelvo::DecodeScan(line);
    if (!scan) {
        return 0;
    }
    std::u16string_view rest = std::u16string_view(line).substr(1);
    for (const std::u16string* decoded : {&scan->serial, &scan->codeType, &scan->code}) {
        const std::size_t end = rest.find(u'.');
        if (decoded->size() != end * 3 / 4) {
            std::abort();
        }
        rest = rest.substr(end + 1);
    }
    return 0;
}
