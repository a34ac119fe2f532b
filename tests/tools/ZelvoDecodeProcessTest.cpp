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
