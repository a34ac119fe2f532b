// Lines of a file descriptor, read in large blocks: LF, CRLF and CR alone each end a line,
// a UTF-8 byte-order mark at the start is skipped (also when it arrives a byte at a time),
// and a line longer than the limit is reported by its number and never held whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zelvo {

inline constexpr std::size_t kMaxLineBytes = 16 * 1024 * 1024;
// The UTF-8 byte-order mark.
inline constexpr std::string_view kMark = "\xEF\xBB\xBF";

class LineReader {
public:
    enum class Status { Line, TooLong, End, ReadError };

    explicit LineReader(int fd, std::size_t maxLineBytes = kMaxLineBytes)
        : fd_(fd), maxLineBytes_(maxLineBytes) {}

    // The next line, without its ending, in `line`; TooLong when it was over the limit (its
    // bytes are dropped), End at the end of the input, ReadError with `Error()` set.
    // `beforeBlockingRead` runs before every read of the descriptor, which may wait.
    template <typename BeforeRead> Status Next(std::string& line, BeforeRead&& beforeBlockingRead);

    long LineNumber() const { return number_; }
    int Error() const { return error_; }

private:
    // Reads more bytes after the unread ones; false at the end of the input or on an error.
    bool Fill();
    // The input so far is a beginning of the byte-order mark, too short to tell.
    bool AwaitingMark() const;

    int fd_;
    std::size_t maxLineBytes_;
    std::string block_;
    std::size_t pos_ = 0;
    long number_ = 0;
    int error_ = 0;
    bool atStart_ = true;
    bool afterCr_ = false;
    bool ended_ = false;
};

template <typename BeforeRead>
LineReader::Status LineReader::Next(std::string& line, BeforeRead&& beforeBlockingRead) {
    line.clear();
    bool tooLong = false;
    bool any = false;
    for (;;) {
        // A slow producer may deliver the mark a byte at a time: it is decided on once three
        // bytes, or the end, have arrived.
        if (pos_ == block_.size() || (atStart_ && !ended_ && AwaitingMark())) {
            if (ended_) {
                break;
            }
            beforeBlockingRead();
            if (!Fill() && error_ != 0) {
                return Status::ReadError;
            }
            continue;
        }
        if (atStart_) {
            atStart_ = false;
            if (std::string_view(block_).substr(0, kMark.size()) == kMark) {
                pos_ = kMark.size();
            }
            continue;
        }
        if (afterCr_) {
            afterCr_ = false;
            if (block_[pos_] == '\n') { // the LF of a CRLF
                ++pos_;
                continue;
            }
        }
        // A plain loop: find_first_of searches its set of two once for every byte.
        std::size_t stop = pos_;
        while (stop < block_.size() && block_[stop] != '\n' && block_[stop] != '\r') {
            ++stop;
        }
        const std::size_t end = stop < block_.size() ? stop : std::string::npos;
        any = true;
        if (!tooLong) {
            if (line.size() + (stop - pos_) > maxLineBytes_) {
                tooLong = true;
                line.clear();
                line.shrink_to_fit();
            } else {
                line.append(block_, pos_, stop - pos_);
            }
        }
        pos_ = stop;
        if (end != std::string::npos) {
            afterCr_ = block_[end] == '\r';
            ++pos_;
            ++number_;
            return tooLong ? Status::TooLong : Status::Line;
        }
    }
    if (!any) {
        return Status::End;
    }
    ++number_; // a last line without its ending
    return tooLong ? Status::TooLong : Status::Line;
}

} // namespace zelvo
