#include "tools/zelvo-decode/Output.h"

#include <cerrno>

#ifdef _WIN32
#include <io.h>
#define write _write
#define close _close
#else
#include <unistd.h>
#endif

namespace zelvo {
namespace {

constexpr std::size_t kBlockSize = 64 * 1024;

} // namespace

bool Output::Write(std::string_view bytes) {
    if (error_ != 0) {
        return false;
    }
    buffer_.append(bytes);
    return buffer_.size() < kBlockSize || Flush();
}

bool Output::Flush() {
    std::size_t done = 0;
    while (error_ == 0 && done < buffer_.size()) {
        const auto chunk = static_cast<unsigned>(buffer_.size() - done);
        const auto written = ::write(fd_, buffer_.data() + done, chunk);
        if (written < 0) {
            if (errno != EINTR) {
                error_ = errno;
            }
        } else {
            done += static_cast<std::size_t>(written);
        }
    }
    buffer_.erase(0, done);
    return error_ == 0;
}

bool Output::Close() {
    const bool flushed = Flush();
    // A descriptor that was never open fails its first write already.
    if (::close(fd_) != 0 && errno != EBADF && error_ == 0) {
        error_ = errno;
    }
    return flushed && error_ == 0;
}

} // namespace zelvo
