#include "tools/zelvo-decode/LineReader.h"

#include "tools/zelvo-decode/Descriptors.h"

#include <cerrno>

namespace zelvo {

bool LineReader::Fill() {
    block_.erase(0, pos_);
    pos_ = 0;
    const std::size_t kept = block_.size();
    block_.resize(kept + kIoBlockSize);
    for (;;) {
        const long got = ReadDescriptor(fd_, block_.data() + kept, kIoBlockSize);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            block_.resize(kept);
            ended_ = true;
            error_ = got < 0 ? errno : 0;
            return false;
        }
        block_.resize(kept + static_cast<std::size_t>(got));
        return true;
    }
}

bool LineReader::AwaitingMark() const {
    return block_.size() < kMark.size() && kMark.substr(0, block_.size()) == block_;
}

} // namespace zelvo
