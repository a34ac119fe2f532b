// Writes N encoded scan lines to standard output, for timing zelvo-decode on a large input.
#include "tests/support/ScanEncoder.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const long count = argc > 1 ? std::atol(argv[1]) : 1000000;
    for (long i = 0; i < count; ++i) {
        const std::string serial = "0000000021014825" + std::to_string(i % 100);
        const std::u16string line =
            zelvo::test::EncodeScan(serial, "IBN", std::to_string(9780131103627 + i));
        const std::string bytes(line.begin(), line.end());
        std::fputs(bytes.c_str(), stdout);
        std::fputc('\n', stdout);
    }
}
