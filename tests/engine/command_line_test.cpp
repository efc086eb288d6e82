// lettermill-recode as a user runs it: one table of command lines, each in a fresh folder, with
// its exit code, standard output and error, and the files it leaves.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <vector>

#include "cli/command_line.h"
#include "engine/support.h"
#include "recode/io_result.h"
#include "res/version.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace lm {
namespace {

#ifdef _WIN32
using Handle = std::unique_ptr<void, decltype(&CloseHandle)>;

Handle Inheritable(const std::string& path, DWORD access, DWORD creation) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return Handle(CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                              creation, 0, nullptr),
                  CloseHandle);
}

int Spawn(const std::string& dir, std::vector<std::string>& arguments, const std::string& in,
          const std::string& out, std::size_t) {
    std::string line = "\"" LETTERMILL_RECODE "\"";
    for (const std::string& argument : arguments) {
        line += " \"" + argument + "\"";
    }
    const Handle input = Inheritable(dir + in, GENERIC_READ, OPEN_EXISTING);
    const Handle output = Inheritable(dir + out, GENERIC_WRITE, OPEN_ALWAYS);
    const Handle error = Inheritable(dir + ".err", GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = output.get();
    startup.hStdError = error.get();
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(LETTERMILL_RECODE, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        dir.c_str(), &startup, &started)) {
        return -1;
    }
    const Handle process(started.hProcess, CloseHandle);
    const Handle thread(started.hThread, CloseHandle);
    DWORD code = 0;
    WaitForSingleObject(process.get(), INFINITE);
    GetExitCodeProcess(process.get(), &code);
    return static_cast<int>(code);
}
#else
int Spawn(const std::string& dir, std::vector<std::string>& arguments, const std::string& in,
          const std::string& out, std::size_t memoryLimit) {
    std::vector<char*> argv{const_cast<char*>(LETTERMILL_RECODE)};
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const rlimit limit{memoryLimit, memoryLimit};
        if (chdir(dir.c_str()) != 0 || dup2(open(in.c_str(), O_RDONLY | O_CLOEXEC), 0) != 0 ||
            dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666), 1) != 1 ||
            dup2(open(".err", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666), 2) != 2 ||
            (memoryLimit != 0 && setrlimit(RLIMIT_AS, &limit) != 0)) {
            _exit(126);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

}  // namespace

Run RunRecode(const std::string& dir, const std::string& arguments, const std::string& in,
              const std::string& out, std::size_t memoryLimit) {
    std::vector<std::string> words;
    std::istringstream split(arguments);
    for (std::string word; split >> word;) {
        words.push_back(word == "''" ? "" : word);
    }
    if (!std::filesystem::exists(dir + in)) {
        Write(dir + in, "");
    }
    if (out == ".out") {
        Write(dir + out, "");
    }
    const int exitCode = Spawn(dir, words, in, out, memoryLimit);
    return {exitCode, Read(dir + out), Read(dir + ".err")};
}

}  // namespace lm

namespace {

const std::string kInput = "abc\nlast";
const std::string kOutput = "12c\r\nl12st\r\n";  // through k.tab
const std::string kUsage = cli::kUsage;

std::string BadFile(const std::string& name, recode::IoResult code) {
    return "lettermill-recode: " + name + ": Bad file (" + recode::describeIoResult(code) + ")\n";
}

struct CommandLine {
    const char* arguments;
    int exitCode;
    std::string out;
    std::string err;
    std::string outputFile = "<none>";  // what out.txt holds afterwards
    const char* standardInput = ".in";
    const char* standardOutput = ".out";
};

const std::string kEmptyName = "lettermill-recode: File name is empty\n";
const std::string kNoEntries = "lettermill-recode: empty.tab: Bad file (no table entries)\n";

const CommandLine kCommandLines[] = {
    {"-t k.tab -o out.txt in.txt", 0, "", "", kOutput},
    {"--table k.tab --output out.txt in.txt", 0, "", "", kOutput},
    // The default table, win2trans.tab, turns a into A.
    {"", 0, "Abc\r\nlAst\r\n", "", "<none>", "in.txt"},
    {"-t k.tab -o - -", 0, kOutput, "", "<none>", "in.txt"},
    {"-t k.tab -o out.txt -- -x", 0, "", "", "12\r\n"},
    {"-t k.tab ''", 2, "", kEmptyName},
    {"-t '' in.txt", 2, "", kEmptyName},
    {"-t k.tab -o '' in.txt", 2, "", kEmptyName},
    {"-t k.tab nope.txt", 1, "", BadFile("nope.txt", lm::kNotFound)},
    {"-t nope.tab in.txt", 1, "", BadFile("nope.tab", lm::kNotFound)},
    {"-t empty.tab -o out.txt in.txt", 1, "", kNoEntries},
    {"-t k.tab -o . in.txt", 1, "", BadFile(".", lm::kIsFolder)},
    {"-t k.tab -o in.txt in.txt", 1, "", BadFile("in.txt", lm::kInUse)},
    {"-t k.tab -o ./in.txt in.txt", 1, "", BadFile("./in.txt", lm::kInUse)},
    // Standard output redirected to the input: the whole input is still there. Windows refuses
    // the input, which the shell holds open for writing, where POSIX refuses the output.
    {"-t k.tab in.txt", 1, kInput,
     ON_WINDOWS_ELSE(BadFile("in.txt", lm::kInUse), BadFile("-", lm::kInUse)), "<none>", ".in",
     "in.txt"},
#ifndef _WIN32
    // Windows holds no lock for a redirected standard input: the input would be emptied.
    {"-t k.tab -o in.txt", 1, "", BadFile("in.txt", lm::kInUse), "<none>", "in.txt"},
    {"-t k.tab -o link.txt in.txt", 1, "", BadFile("link.txt", lm::kInUse)},
    {"-t k.tab -o /dev/full in.txt", 1, "", BadFile("/dev/full", ENOSPC)},
#endif
    {"-x", 2, "", "lettermill-recode: unknown option: -x\n" + kUsage},
    {"in.txt -o", 2, "", "lettermill-recode: option -o needs a file name\n" + kUsage},
    {"a b", 2, "", "lettermill-recode: more than one input file: b\n" + kUsage},
    {"--check k.tab in.txt", 2, "",
     "lettermill-recode: --check takes a table and nothing to recode\n" + kUsage},
    {"--version", 0, "lettermill-recode " LETTERMILL_PRODUCT_VERSION "\n", ""},
    {"--help", 0, kUsage, ""},
    {"--check odd.tab", 1,
     "odd.tab:3: 1 byte between the key and the first \"=\" is ignored\n"
     "odd.tab:3: key 'a' already has an entry on line 1: the replacements are joined\n"
     "odd.tab:4: entry never applies: its key 0x20 is at or below the blank\n"
     "odd.tab:5: no \"=\": the whole line replaces the key 'c'\n"
     "odd.tab:6: replacement ends in 2 blanks\n"
     "odd.tab:7: replacement of 65536 bytes is cut to 65535\n",
     ""},
    {"--check win2trans.tab", 0, "", ""},
    // The one finding in the shipped tables is meant: the no-break space becomes a blank.
    {"--check shipped.tab", 1, "shipped.tab:112: replacement ends in 1 blank\n", ""},
    {"--check shipped-koi.tab", 0, "", ""},
    {"--check nope.tab", 1, "", BadFile("nope.tab", lm::kNotFound)},
    {"--check empty.tab", 1, "", kNoEntries},
    {"--check .", 1, "", BadFile(".", lm::kIsFolder)},
    {"--check ''", 2, "", kEmptyName},
};

class LettermillRecode : public testing::TestWithParam<CommandLine> {};

TEST_P(LettermillRecode, Runs) {
    const CommandLine& line = GetParam();
    SCOPED_TRACE(line.arguments);
    const lm::TempDir dir;
    lm::Write(dir / "in.txt", kInput);
    lm::Write(dir / "-x", "a");
    lm::Write(dir / "k.tab", "a=1\na=2\nb=\n");
    lm::Write(dir / "win2trans.tab", "a=A\n");
    lm::Write(dir / "empty.tab", "\r\n");
    lm::Write(dir / "odd.tab",
              "a=1\r\n\r\nab=2\r\n =x\r\nc\r\nd=x  \r\ne=" + std::string(65536, 'x'));
    lm::Write(dir / "shipped.tab", lm::Read(LETTERMILL_SOURCE_DIR "/tables/win2trans.tab"));
    lm::Write(dir / "shipped-koi.tab", lm::Read(LETTERMILL_SOURCE_DIR "/tables/koi2win.tab"));
#ifndef _WIN32
    std::filesystem::create_symlink("in.txt", dir / "link.txt");
#endif
    const lm::Run run =
        lm::RunRecode(dir / "", line.arguments, line.standardInput, line.standardOutput);
    EXPECT_EQ(run.exitCode, line.exitCode);
    EXPECT_EQ(run.out, line.out);
    EXPECT_EQ(run.err, line.err);
    EXPECT_EQ(lm::Read(dir / "out.txt"), line.outputFile);
    EXPECT_EQ(lm::Read(dir / "in.txt"), kInput);
}

INSTANTIATE_TEST_SUITE_P(CommandLines, LettermillRecode, testing::ValuesIn(kCommandLines),
                         [](const auto& info) { return std::to_string(info.index); });

// A line too long for memory ends the program with 203 and no message. AddressSanitizer cannot
// start under a limit of the address space.
#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__)
TEST(LettermillRecodeOutOfMemory, ExitsWith203) {
    const lm::TempDir dir;
    lm::Write(dir / "long.tab", "a=" + std::string(65535, 'x'));
    lm::Write(dir / "in.txt", std::string(2000, 'a'));
    const lm::Run run =
        lm::RunRecode(dir / "", "-t long.tab -o out.txt in.txt", ".in", ".out", 100 << 20);
    EXPECT_EQ(run.exitCode, 203);
    EXPECT_EQ(run.err, "");
}
#endif

}  // namespace
