// Reading and writing file descriptors by the same names on POSIX systems and Windows, and
// the block size in which zelvo-decode reads its input and writes its output.
#pragma once

#include <cstddef>
#include <fcntl.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace zelvo {

inline constexpr std::size_t kIoBlockSize = 64 * 1024;

// Opens a file for reading its bytes as they are; -1 with errno set on failure.
inline int OpenForReading(const char* path) {
#ifdef _WIN32
    // Lines are UTF-8 bytes; text mode would translate them behind our back.
    return ::_open(path, _O_RDONLY | _O_BINARY);
#else
    return ::open(path, O_RDONLY);
#endif
}

// At most `size` bytes (a block, never more than fits an int) into `buffer`.
inline long ReadDescriptor(int fd, void* buffer, std::size_t size) {
#ifdef _WIN32
    return ::_read(fd, buffer, static_cast<unsigned>(size));
#else
    return static_cast<long>(::read(fd, buffer, size));
#endif
}

inline long WriteDescriptor(int fd, const void* bytes, std::size_t size) {
#ifdef _WIN32
    return ::_write(fd, bytes, static_cast<unsigned>(size));
#else
    return static_cast<long>(::write(fd, bytes, size));
#endif
}

inline int CloseDescriptor(int fd) {
#ifdef _WIN32
    return ::_close(fd);
#else
    return ::close(fd);
#endif
}

} // namespace zelvo
