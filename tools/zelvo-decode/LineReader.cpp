#include "tools/zelvo-decode/LineReader.h"

#include <cerrno>

#ifdef _WIN32
#include <io.h>
#define read _read
#else
#include <unistd.h>
#endif

namespace zelvo {
namespace {

constexpr std::size_t kBlockSize = 64 * 1024;

} // namespace

bool LineReader::Fill() {
    block_.resize(kBlockSize);
    pos_ = 0;
    for (;;) {
        const auto got = ::read(fd_, block_.data(), static_cast<unsigned>(kBlockSize));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            block_.clear();
            ended_ = true;
            error_ = got < 0 ? errno : 0;
            return false;
        }
        block_.resize(static_cast<std::size_t>(got));
        return true;
    }
}

} // namespace zelvo
