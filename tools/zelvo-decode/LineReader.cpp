#include "tools/zelvo-decode/LineReader.h"

#include "tools/zelvo-decode/Descriptors.h"

#include <cerrno>

namespace zelvo {

bool LineReader::Fill() {
    block_.resize(kIoBlockSize);
    pos_ = 0;
    for (;;) {
        const auto got = ::read(fd_, block_.data(), static_cast<unsigned>(kIoBlockSize));
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
