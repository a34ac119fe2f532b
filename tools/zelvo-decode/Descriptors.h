// Reading and writing file descriptors by the same names on POSIX systems and Windows, and
// the block size in which zelvo-decode reads its input and writes its output.
#pragma once

#include <cstddef>
#include <fcntl.h>

#ifdef _WIN32
#include <io.h>
#define open _open
#define read _read
#define write _write
#define close _close
#else
#include <unistd.h>
#endif

namespace zelvo {

inline constexpr std::size_t kIoBlockSize = 64 * 1024;

#ifdef _WIN32
// Lines are UTF-8 bytes; text mode would translate them behind our back.
inline constexpr int kOpenForReading = _O_RDONLY | _O_BINARY;
#else
inline constexpr int kOpenForReading = O_RDONLY;
#endif

} // namespace zelvo
