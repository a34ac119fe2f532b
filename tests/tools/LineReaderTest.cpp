// LineReader fed through a pipe in chosen pieces: each read it makes gets exactly one piece,
// so the mark, a line's ending and the length cap can be put across any read boundary.
#include "tools/zelvo-decode/LineReader.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

using zelvo::LineReader;
using Status = LineReader::Status;

namespace {

// What the reader returned, one entry a call: "line N: text", "too long N" or "end".
std::vector<std::string> ReadAll(const std::vector<std::string>& pieces,
                                 std::size_t maxLineBytes = zelvo::kMaxLineBytes) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        ADD_FAILURE() << "no pipe";
        return {};
    }
    std::size_t next = 0;
    // The reader asks before each read; the writer hands it the next piece, or the end.
    const auto feed = [&] {
        if (pipeFds[1] < 0) {
            return;
        }
        if (next == pieces.size()) {
            ::close(pipeFds[1]);
            pipeFds[1] = -1;
            return;
        }
        const std::string& piece = pieces[next++];
        EXPECT_EQ(::write(pipeFds[1], piece.data(), piece.size()),
                  static_cast<ssize_t>(piece.size()));
    };
    LineReader reader(pipeFds[0], maxLineBytes);
    std::vector<std::string> got;
    std::string line;
    for (int calls = 0; calls < 20; ++calls) {
        const Status status = reader.Next(line, feed);
        const std::string number = std::to_string(reader.LineNumber());
        if (status == Status::Line) {
            got.push_back("line " + number + ": " + line);
        } else if (status == Status::TooLong) {
            got.push_back("too long " + number);
        } else {
            got.push_back(status == Status::End ? "end" : "read error");
            break;
        }
    }
    ::close(pipeFds[0]);
    if (pipeFds[1] >= 0) {
        ::close(pipeFds[1]);
    }
    return got;
}

using Lines = std::vector<std::string>;

TEST(LineReader, SkipsTheMarkHoweverItArrives) {
    EXPECT_EQ(ReadAll({"\xEF", "\xBB", "\xBF.AB.\n"}), (Lines{"line 1: .AB.", "end"}));
    EXPECT_EQ(ReadAll({"\xEF\xBB", "\xBF\n", "x"}), (Lines{"line 1: ", "line 2: x", "end"}));
    EXPECT_EQ(ReadAll({"\xEF\xBB\xBF"}), (Lines{"end"}));
    // Bytes that only begin like the mark are the line's own; so is a mark on a later line.
    EXPECT_EQ(ReadAll({"\xEF", "\x41\n"}), (Lines{"line 1: \xEF\x41", "end"}));
    EXPECT_EQ(ReadAll({"\xEF\xBB"}), (Lines{"line 1: \xEF\xBB", "end"}));
    EXPECT_EQ(ReadAll({"a\n\xEF\xBB\xBF\x62\n"}),
              (Lines{"line 1: a", "line 2: \xEF\xBB\xBF\x62", "end"}));
}

TEST(LineReader, EndsLinesAcrossReadBoundaries) {
    EXPECT_EQ(ReadAll({"a\r", "\nb"}), (Lines{"line 1: a", "line 2: b", "end"}));
    EXPECT_EQ(ReadAll({"a", "\r", "\n", "b\n"}), (Lines{"line 1: a", "line 2: b", "end"}));
    EXPECT_EQ(ReadAll({"a\r", "b\r"}), (Lines{"line 1: a", "line 2: b", "end"}));
    EXPECT_EQ(ReadAll({"a\r", "\r\n"}), (Lines{"line 1: a", "line 2: ", "end"}));
    EXPECT_EQ(ReadAll({"a\n", "\n", "b"}), (Lines{"line 1: a", "line 2: ", "line 3: b", "end"}));
    EXPECT_EQ(ReadAll({}), (Lines{"end"}));
}

TEST(LineReader, DropsLinesOverTheCapAndGoesOn) {
    EXPECT_EQ(ReadAll({"abcd\n", "abc", "de\nok"}, 4),
              (Lines{"line 1: abcd", "too long 2", "line 3: ok", "end"}));
    EXPECT_EQ(ReadAll({"abcdefgh", "ij", "\r\nxy\n"}, 4),
              (Lines{"too long 1", "line 2: xy", "end"}));
    EXPECT_EQ(ReadAll({"\xEF\xBB\xBF\x61\x62\x63\x64"}, 4), (Lines{"line 1: abcd", "end"}));
}

} // namespace
