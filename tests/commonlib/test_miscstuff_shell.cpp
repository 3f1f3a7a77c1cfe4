#include "TempEnv.h"

#include <harlix/harlix.h>

#include <QTimer>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <signal.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using harlix::ComError;
using harlix::miscStuff;
namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// A stand-in's command that writes what `commands` print to `record` under a temporary name
// and renames it into place when complete, so that the file's appearing is its being whole.
std::string writeRecord(const std::string& commands, const fs::path& record) {
    return "{ " + commands + "; } > '" + record.string() + ".tmp' && mv '" + record.string() +
           ".tmp' '" + record.string() + "'";
}

// Waits until the recording stand-in has renamed its file into place (it may run after Execute
// returns, and on a busy machine much later); the rename is the event, so the file is whole.
std::string waitForRecord(const fs::path& path) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!fs::exists(path) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return readFile(path);
}

class ExecuteTest : public ::testing::Test {
protected:
    void SetUp() override {
        record = dir.path() / "record";
        // Each stand-in writes its working folder and its arguments, one a line.
        const std::string recorder =
            writeRecord("pwd; for a in \"$@\"; do echo \"$a\"; done", record);
        path.add("xdg-open", recorder);
        path.add("lp", recorder);
        work = dir.path() / "work dir";
        fs::create_directory(work);
        std::ofstream(work / "plan 1.pdf") << "%PDF";
    }
    void expectShellError(int code, const std::string& text, auto&& call) {
        try {
            call();
            ADD_FAILURE() << "no error, expected " << code;
        } catch (const ComError& e) {
            EXPECT_EQ(e.number(), code);
            EXPECT_EQ(e.source(), "ShellExecute");
            EXPECT_EQ(e.description(), text);
        }
    }

    harlix::test::TempDir dir;
    harlix::test::StandInPath path;
    fs::path record, work;
    miscStuff m;
};

TEST_F(ExecuteTest, OpenHandsTheFileToXdgOpenInTheGivenFolder) {
    m.Execute(0, harlix::opOpen, "plan 1.pdf", "", work.string(), harlix::scShowNormal);
    // xdg-open has ended when Execute returns: its record is there.
    EXPECT_EQ(readFile(record), work.string() + "\n" + (work / "plan 1.pdf").string() + "\n");
}

TEST_F(ExecuteTest, PrintUsesLpAndExploreOpensTheFolder) {
    path.add("xdg-open", "exit 99");
    m.Execute(0, harlix::opPrint, (work / "plan 1.pdf").string(), "", "", harlix::scHide);
    EXPECT_EQ(readFile(record),
              fs::current_path().string() + "\n" + (work / "plan 1.pdf").string() + "\n");
    fs::remove(record);
    path.add("xdg-open", writeRecord("echo \"$1\"", record));
    m.Execute(0, harlix::opExplore, (work / "plan 1.pdf").string(), "", "", harlix::scShow);
    EXPECT_EQ(readFile(record), work.string() + "\n");
}

TEST_F(ExecuteTest, UrlsAreOpenedThoughTheyAreNoFiles) {
    m.Execute(0, harlix::opOpen, "https://example.com/a?b=c", "", "", harlix::scShow);
    EXPECT_NE(readFile(record).find("\nhttps://example.com/a?b=c\n"), std::string::npos);
}

TEST_F(ExecuteTest, AProgramIsRunWithItsParameters) {
    harlix::test::writeScript(work, "tool.sh",
                              writeRecord("for a in \"$@\"; do echo \"$a\"; done", record));
    m.Execute(0, harlix::opOpen, "tool.sh", "-x \"two words\" 'single quoted'", work.string(),
              harlix::scShow);
    EXPECT_EQ(waitForRecord(record), "-x\ntwo words\nsingle quoted\n");
}

TEST_F(ExecuteTest, ADocumentWithExecuteBitsIsOpenedNotRun) {
    fs::permissions(work / "plan 1.pdf", fs::perms::owner_all);
    m.Execute(0, harlix::opOpen, "plan 1.pdf", "", work.string(), harlix::scShow);
    EXPECT_EQ(readFile(record), work.string() + "\n" + (work / "plan 1.pdf").string() + "\n");
}

// A downloaded "document" that is a script with the execute bits (as every file on a vfat or
// cifs mount has them): OpenDocument hands it to xdg-open and never runs it.
TEST_F(ExecuteTest, OpenDocumentNeverRunsTheFile) {
    const fs::path ran = dir.path() / "ran";
    harlix::test::writeScript(work, "0100.svd", "touch " + ran.string());
    m.OpenDocument(0, "0100.svd", work.string());
    EXPECT_EQ(readFile(record), work.string() + "\n" + (work / "0100.svd").string() + "\n");
    m.OpenDocument(0, (work / "0100.svd").string(), "");
    EXPECT_EQ(readFile(record),
              fs::current_path().string() + "\n" + (work / "0100.svd").string() + "\n");
    EXPECT_FALSE(fs::exists(ran));
    expectShellError(2, "The specified file was not found.",
                     [&] { m.OpenDocument(0, "missing.svd", work.string()); });
}

// xdg-open with no program for the file answers 3 only after it has looked, which may take
// longer than any fixed wait: the answer is waited for, so the failure is reported every time.
TEST_F(ExecuteTest, ASlowNoProgramAnswerIsError31) {
    path.add("xdg-open", "sleep 3; exit 3");
    for (int i = 0; i < 2; ++i) {
        expectShellError(31,
                         "There is no application associated with the given file name "
                         "extension. This error will also be returned if you attempt to print a "
                         "file that is not printable.",
                         [&] {
                             if (i == 0)
                                 m.Execute(0, harlix::opOpen, "plan 1.pdf", "", work.string(),
                                           harlix::scShow);
                             else
                                 m.OpenDocument(0, "plan 1.pdf", work.string());
                         });
    }
}

// While xdg-open runs, the application's events are served: this stand-in reads a pipe that
// only a timer of the application writes, so it ends exactly when the timer has fired.
TEST_F(ExecuteTest, TheApplicationIsServedWhileTheOpenerRuns) {
    const fs::path pipe = dir.path() / "timer-fired";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    path.add("xdg-open", "read line < '" + pipe.string() + "'");
    bool fired = false;
    QTimer::singleShot(0, [&] {
        std::ofstream(pipe) << "x\n"; // waits for the stand-in to open its end
        fired = true;
    });
    EXPECT_NO_THROW(m.OpenDocument(0, "plan 1.pdf", work.string()));
    EXPECT_TRUE(fired);
}

TEST_F(ExecuteTest, FailuresCarryTheCodesAndTexts) {
    const std::string notFound = "The specified file was not found.";
    const std::string noProgram =
        "There is no application associated with the given file name extension. This error "
        "will also be returned if you attempt to print a file that is not printable.";
    expectShellError(2, notFound, [&] {
        m.Execute(0, harlix::opOpen, "missing.pdf", "", work.string(), harlix::scShow);
    });
    expectShellError(2, notFound,
                     [&] { m.Execute(0, harlix::opOpen, "", "", work.string(), harlix::scShow); });
    expectShellError(3, "The specified path was not found.", [&] {
        m.Execute(0, harlix::opOpen, "plan 1.pdf", "", (dir.path() / "nope").string(),
                  harlix::scShow);
    });
    expectShellError(3, "The specified path was not found.", [&] {
        m.Execute(0, harlix::opOpen, (dir.path() / "nope/x.pdf").string(), "", "", harlix::scShow);
    });
    // xdg-open's "no program for this type" and "file does not exist" answers.
    path.add("xdg-open", "exit 3");
    expectShellError(31, noProgram, [&] {
        m.Execute(0, harlix::opOpen, "plan 1.pdf", "", work.string(), harlix::scShow);
    });
    path.add("xdg-open", "exit 2");
    expectShellError(2, notFound, [&] {
        m.Execute(0, harlix::opEdit, "plan 1.pdf", "", work.string(), harlix::scShow);
    });
    path.add("lp", "echo 'lp: Unsupported document-format' >&2; exit 1");
    expectShellError(31, noProgram, [&] {
        m.Execute(0, harlix::opPrint, "plan 1.pdf", "", work.string(), harlix::scShow);
    });
    expectShellError(31, noProgram, [&] {
        m.Execute(0, harlix::opProperties, "plan 1.pdf", "", work.string(), harlix::scShow);
    });
    EXPECT_FALSE(fs::exists(record)) << "nothing may have been opened";
}

TEST_F(ExecuteTest, NoOpenerOnPathIsError31) {
    path.isolate();
    fs::remove(path.dir() / "xdg-open");
    if (fs::exists("/usr/bin/xdg-open") || fs::exists("/bin/xdg-open"))
        GTEST_SKIP() << "xdg-open is installed system-wide";
    expectShellError(
        31,
        "There is no application associated with the given file name extension. "
        "This error will also be returned if you attempt to print a file that is "
        "not printable.",
        [&] { m.Execute(0, harlix::opOpen, "plan 1.pdf", "", work.string(), harlix::scShow); });
}

TEST(ExecAndWait, ReturnsTheExitCode) {
    miscStuff m;
    harlix::test::TempDir dir;
    EXPECT_EQ(m.ExecAndWait("exit 0"), 0);
    EXPECT_EQ(m.ExecAndWait("exit 7"), 7);
    EXPECT_EQ(m.ExecAndWait("sleep 0.2; echo done > '" + dir / "out" + "'"), 0);
    EXPECT_TRUE(fs::exists(dir / "out")) << "waits for the end";
    EXPECT_EQ(m.ExecAndWait("kill -TERM $$"), 128 + SIGTERM);
    EXPECT_EQ(m.ExecAndWait("no-such-command-xyz 2>/dev/null"), 127);
}

TEST(IsAppRunning, FindsAProcessByAPrefixOfItsNameInAnyCase) {
    harlix::test::TempDir dir;
    fs::path program = dir.path() / "HarlixSleeper42";
    fs::copy_file("/bin/sleep", program);
    miscStuff m;
    EXPECT_FALSE(m.IsAppRunning("harlixsleeper42"));
    // The child's end of the pipe closes on exec: reading its end of file is the event "the
    // program runs under its own name now", however long the machine takes to get there.
    int execed[2];
    ASSERT_EQ(pipe2(execed, O_CLOEXEC), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        close(execed[0]);
        execl(program.c_str(), "HarlixSleeper42", "30", static_cast<char*>(nullptr));
        const char failed = 1; // a byte says the exec failed
        [[maybe_unused]] const ssize_t w = write(execed[1], &failed, 1);
        _exit(127);
    }
    close(execed[1]);
    char byte = 0;
    ssize_t n = 0;
    while ((n = read(execed[0], &byte, 1)) < 0 && errno == EINTR) {
    }
    close(execed[0]);
    ASSERT_EQ(n, 0) << "the child did not exec";
    EXPECT_TRUE(m.IsAppRunning("  HARLIXsleep "));
    EXPECT_TRUE(m.IsAppRunning("harlixsleeper42"));
    EXPECT_FALSE(m.IsAppRunning("harlixsleeper421"));
    EXPECT_FALSE(m.IsAppRunning("arlixSleeper")) << "a prefix, not any part";
    EXPECT_FALSE(m.IsAppRunning("   ")) << "an empty name matches nothing";
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    EXPECT_FALSE(m.IsAppRunning("HarlixSleeper42"));
}

} // namespace
