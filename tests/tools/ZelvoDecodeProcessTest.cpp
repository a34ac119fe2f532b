// Runs zelvo-decode as a process, as a user or a script would.
#include "Version.h"
#include "tests/support/ScanEncoder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Utf8(const std::u16string& ascii) {
    return std::string(ascii.begin(), ascii.end());
}

class ZelvoDecode : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zelvo-decode-test-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path Write(const std::string& name, const std::string& content) {
        std::ofstream(dir_ / name, std::ios::binary) << content;
        return dir_ / name;
    }

    // Runs the tool in the test's folder with `args`, giving it `input` on standard input.
    ToolRun Decode(const std::string& args, const std::string& input = "") {
        Write("stdin", input);
        const std::string command = "cd '" + dir_.string() + "' && '" ZELVO_DECODE_EXE "' " + args +
                                    " <stdin >stdout 2>stderr";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(dir_ / "stdout"),
                ReadFile(dir_ / "stderr")};
    }

    // Runs `script` with bash in the test's folder.
    ToolRun Shell(const std::string& script) {
        Write("script.sh", script);
        const std::string command =
            "cd '" + dir_.string() + "' && bash script.sh </dev/null >stdout 2>stderr";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(dir_ / "stdout"),
                ReadFile(dir_ / "stderr")};
    }

    fs::path dir_;
};

const std::string kLine =
    Utf8(zelvo::test::EncodeScan("000000002101482501", "IBN", "9780131103627"));
const std::string kResult = "000000002101482501\tIBN\t9780131103627\n";

} // namespace

TEST_F(ZelvoDecode, DecodesStandardInputLineByLine) {
    const ToolRun run = Decode("", kLine + "\n\n" + kLine + "\r\n\r\n" + kLine);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kResult + kResult + kResult);
    EXPECT_EQ(run.err, "");
}

TEST_F(ZelvoDecode, JsonOutput) {
    const ToolRun run =
        Decode("--json", kLine + "\n" + Utf8(zelvo::test::EncodeScan("a\"b", "", "\\")) + "\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(
        run.out,
        "{\"serial\": \"000000002101482501\", \"type\": \"IBN\", \"code\": \"9780131103627\"}\n"
        "{\"serial\": \"a\\\"b\", \"type\": \"\", \"code\": \"\\\\\"}\n");
}

TEST_F(ZelvoDecode, RejectedLinesAreReportedAndTheRestStillDecoded) {
    const ToolRun run = Decode("", kLine + "\n.ab.cd\n\xC3(bad\n" + kLine + "\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, kResult + kResult);
    EXPECT_NE(run.err.find("(standard input):2: not a scan"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("(standard input):3: invalid UTF-8 at byte 1"), std::string::npos)
        << run.err;
}

TEST_F(ZelvoDecode, ReadsFilesAndDashInOrder) {
    Write("one.txt", kLine + "\nnot a scan\n");
    const ToolRun run = Decode("one.txt - missing.txt one.txt", kLine);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, kResult + kResult + kResult);
    EXPECT_NE(run.err.find("one.txt:2: not a scan"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("missing.txt: cannot open"), std::string::npos) << run.err;
}

TEST_F(ZelvoDecode, UsageVersionAndHelp) {
    EXPECT_EQ(Decode("--bogus").status, 2);
    const ToolRun version = Decode("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "zelvo-decode " + std::string(zelvo::kVersion) + "\n");
    const ToolRun help = Decode("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: zelvo-decode", 0), 0u);
    // After "--" a name that looks like an option is a file.
    EXPECT_EQ(Decode("-- --json").status, 2);
}

TEST_F(ZelvoDecode, VeryLongLineDecodesWhole) {
    const std::size_t symbols = 8 << 20;
    const std::string field(symbols, 'a');
    const ToolRun run = Decode("", "." + field + "..." + "\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, std::string(symbols / 4 * 3, 'Z') + "\t\t\n");
}

TEST_F(ZelvoDecode, EachScanIsWrittenAsSoonAsItsLineArrives) {
    int toChild[2];
    int fromChild[2];
    ASSERT_EQ(::pipe(toChild), 0);
    ASSERT_EQ(::pipe(fromChild), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(toChild[0], STDIN_FILENO);
        ::dup2(fromChild[1], STDOUT_FILENO);
        ::close(toChild[1]);
        ::close(fromChild[0]);
        ::execl(ZELVO_DECODE_EXE, ZELVO_DECODE_EXE, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);

    // The input stays open: the answer must come before the end of the input.
    const std::string line = kLine + "\n";
    ASSERT_EQ(::write(toChild[1], line.data(), line.size()), static_cast<ssize_t>(line.size()));
    std::string received;
    pollfd ready{fromChild[0], POLLIN, 0};
    while (received.size() < kResult.size() && ::poll(&ready, 1, 20000) == 1) {
        char buffer[256];
        const ssize_t n = ::read(fromChild[0], buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        received.append(buffer, static_cast<std::size_t>(n));
    }
    EXPECT_EQ(received, kResult);

    ::close(toChild[1]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(fromChild[0]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// Odd but ordinary input and broken surroundings, each run through a shell as a user would:
// no failure may pass for success, and memory stays bounded on a line of 200 MB.
TEST_F(ZelvoDecode, OddInputAndFailedOutputAreNeverReportedAsSuccess) {
    Write("good.txt", kLine + "\n");
    const std::string two = kResult + kResult;
    struct Row {
        std::string script; // D is the tool, L the example line
        int status;
        std::string out;
        const char* err; // a part of standard error
    };
#if defined(__SANITIZE_ADDRESS__)
    const std::string limit = ""; // the sanitizer reserves more address space than any limit
#else
    const std::string limit = "ulimit -v 1000000; ";
#endif
    const Row rows[] = {
        {R"(printf '\357\273\277%s\n' "$L" | $D)", 0, kResult, ""},
        // A slow producer: the byte-order mark arrives in two reads.
        {R"({ printf '\357'; sleep 0.2; printf '\273\277%s\n' "$L"; } | $D)", 0, kResult, ""},
        // Both streams in one file: each message stands where its line stood.
        {R"(printf '%s\nbad\n%s\n' "$L" "$L" > mixed.txt; $D mixed.txt 2>&1)", 1,
         kResult +
             "zelvo-decode: mixed.txt:2: not a scan: fewer than three fields ended by "
             "\".\"; line skipped\n" +
             kResult,
         ""},
        {R"(printf '%s\rnot-a-scan\r%s\r' "$L" "$L" | $D)", 1, two,
         "(standard input):2: not a scan"},
        {"mkdir -p somedir; $D somedir good.txt", 2, kResult,
         "zelvo-decode: somedir: Is a directory"},
        {"$D < somedir", 2, "", "(standard input): Is a directory"},
        {"$D <&-", 2, "", "Bad file descriptor"},
        {"$D good.txt > /dev/full", 2, "", "write error: No space left on device"},
        {"$D --help > /dev/full", 2, "", "write error: No space left on device"},
        {"$D good.txt >&-", 2, "", "write error: Bad file descriptor"},
        // A reader that goes away ends the tool by SIGPIPE, as it ends any filter...
        {"yes \"$L\" | head -n 300000 > many.txt;"
         " { $D many.txt; echo $? > status; } | head -n 1 > /dev/null; test \"$(cat status)\" = "
         "141",
         0, "", ""},
        // ...and, where that signal is ignored, is a failed write all the same.
        {"yes \"$L\" | head -n 300000 > many.txt; trap '' PIPE;"
         " { $D many.txt; echo $? > status; } | head -n 1 > /dev/null; test \"$(cat status)\" -ne "
         "0",
         0, "", ""},
        {"(" + limit +
             "{ cat good.txt; head -c 200000000 /dev/zero | tr '\\0' a; echo; cat good.txt; } | "
             "$D)",
         1, two, "(standard input):2: line longer than 16 MiB"},
    };
    for (const Row& row : rows) {
        const ToolRun run =
            Shell(std::string("D='" ZELVO_DECODE_EXE "'; L='") + kLine + "'\n" + row.script);
        EXPECT_EQ(run.status, row.status) << row.script << "\n" << run.err;
        EXPECT_EQ(run.out, row.out) << row.script;
        EXPECT_NE(run.err.find(row.err), std::string::npos) << row.script << "\n" << run.err;
    }
}

TEST_F(ZelvoDecode, MaskDecodesScannersThatMaskWithAnotherByte) {
    const std::string line = Utf8(zelvo::test::EncodeScan("0123456789", "UPA", "0785342", 0x43));
    const std::string result = "0123456789\tUPA\t0785342\n";
    EXPECT_EQ(Decode("--mask 0x43", line).out, result);
    EXPECT_EQ(Decode("--mask=67", line).out, result);
    EXPECT_NE(Decode("", line).out, result);
    for (const char* bad : {"--mask 256", "--mask 0x", "--mask -1", "--mask x43", "--mask"}) {
        EXPECT_EQ(Decode(bad, line).status, 2) << bad;
    }
}
