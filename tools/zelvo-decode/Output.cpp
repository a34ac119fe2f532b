#include "tools/zelvo-decode/Output.h"

#include "tools/zelvo-decode/Descriptors.h"

#include <algorithm>
#include <cerrno>

namespace zelvo {

bool Output::Write(std::string_view bytes) {
    if (error_ != 0) {
        return false;
    }
    if (bytes.size() >= kIoBlockSize) { // a large piece goes out as it is, never copied
        return Flush() && WriteAll(bytes);
    }
    buffer_.append(bytes);
    return buffer_.size() < kIoBlockSize || Flush();
}

bool Output::WriteAll(std::string_view bytes) {
    std::size_t done = 0;
    while (error_ == 0 && done < bytes.size()) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size() - done, 1u << 30);
        const long written = WriteDescriptor(fd_, bytes.data() + done, chunk);
        if (written < 0) {
            if (errno != EINTR) {
                error_ = errno;
            }
        } else {
            done += static_cast<std::size_t>(written);
        }
    }
    return error_ == 0;
}

bool Output::Flush() {
    const bool written = WriteAll(buffer_);
    buffer_.clear();
    return written;
}

bool Output::Close() {
    const bool flushed = Flush();
    // A descriptor that was never open fails its first write already.
    if (CloseDescriptor(fd_) != 0 && errno != EBADF && error_ == 0) {
        error_ = errno;
    }
    return flushed && error_ == 0;
}

} // namespace zelvo
