// Standard output written in large blocks straight to its file descriptor, with every
// write and the final close checked: a full disk is an error, never lost. A closed pipe
// ends the process by SIGPIPE, as it ends any filter; where that signal is ignored, the
// failed write is an error here like any other.
#pragma once

#include <string>
#include <string_view>

namespace zelvo {

class Output {
public:
    explicit Output(int fd) : fd_(fd) {}

    // Buffers `bytes`; writes a block once enough has gathered. False once anything failed.
    bool Write(std::string_view bytes);
    // Writes what is buffered, so that a reader sees it now.
    bool Flush();
    // Flushes and closes the descriptor.
    bool Close();

    // The errno of the first failure, 0 while there is none.
    int Error() const { return error_; }

private:
    bool WriteAll(std::string_view bytes);

    int fd_;
    std::string buffer_;
    int error_ = 0;
};

} // namespace zelvo
