// Whole-file writes on a full device; outputs that replace their target only when complete.
#include "platform/output_file.h"

#include "support/as_text.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::error_of;

long entries(const fs::path& folder) {
    return std::distance(fs::directory_iterator(folder), {});
}

TEST(OutputFile, FullDeviceIsDiskFull) {
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full on this machine";
    // The buffered write may succeed; the close must then report the lost bytes.
    EXPECT_EQ(error_of([] { write_whole_file("/dev/full", std::string(100000, 'x')); }),
              "61 Disk full [full]");
    EXPECT_EQ(error_of([] { write_whole_file("/dev/full", "tiny"); }), "61 Disk full [full]");
}

// A failure destroyed the previous output: the bytes go to a new file beside it, which only a
// successful close puts in its place; an error path leaves the previous file and no new one.
TEST(OutputFile, AFailedRunLeavesThePreviousOutputAndNoTemporaryFile) {
    test::temp_dir dir;
    const fs::path out = dir / "out.dat";
    test::write_file(out, "previous");
    ::chmod(out.c_str(), 0640);
    {
        output_file file(out);
        file.write("half of the new");
        file.flush();
        EXPECT_EQ(test::read_file(out), "previous");
        EXPECT_EQ(entries(dir.path()), 2);
    } // destroyed without close(): the job failed
    EXPECT_EQ(test::read_file(out), "previous");
    EXPECT_EQ(entries(dir.path()), 1);
    write_whole_file(out, "new");
    EXPECT_EQ(test::read_file(out), "new");
    EXPECT_EQ(fs::status(out).permissions(), fs::perms(0640));
    EXPECT_EQ(entries(dir.path()), 1);
    // A link stays a link; the file it points to gets the bytes.
    fs::create_symlink("out.dat", dir / "link.dat");
    write_whole_file(dir / "link.dat", "through the link");
    EXPECT_TRUE(fs::is_symlink(dir / "link.dat"));
    EXPECT_EQ(test::read_file(out), "through the link");
    // A live log is there from the start, and stays when the run fails.
    {
        output_file log(dir / "status.log", output_file::mode::live);
        log.write("started\n");
        log.flush();
        EXPECT_EQ(test::read_file(dir / "status.log"), "started\n");
    }
    EXPECT_EQ(test::read_file(dir / "status.log"), "started\n");
    EXPECT_EQ(error_of([&] { output_file(dir / "no-folder" / "x"); }), "76 Path not found [x]");
}

// Writes gather in a buffer: pieces of every size around its bounds, in replace, append and
// live mode, must reach the file whole and in order.
TEST(OutputFile, BufferedPiecesOfEverySizeReachTheFileInOrder) {
    test::temp_dir dir;
    const std::vector<std::size_t> sizes = {0,     1,     4095,   4097, 65535,
                                            65536, 65537, 200000, 3,    70000};
    std::string expected;
    for (std::size_t i = 0; i < sizes.size(); ++i)
        expected += std::string(sizes[i], static_cast<char>('a' + i));
    for (const auto how :
         {output_file::mode::replace, output_file::mode::live, output_file::mode::append}) {
        const fs::path out = dir / "out.dat";
        test::write_file(out, "previous");
        output_file file(out, how);
        for (std::size_t i = 0; i < sizes.size(); ++i)
            file.write(std::string(sizes[i], static_cast<char>('a' + i)));
        file.close();
        EXPECT_EQ(test::read_file(out),
                  (how == output_file::mode::append ? "previous" : "") + expected);
        EXPECT_EQ(entries(dir.path()), 1);
    }
}

// A file may begin as a copy of another still being written (buffered bytes included) and be
// finished long before it is put in place; one never placed leaves nothing behind.
TEST(OutputFile, ACopyOfAFileBeingWrittenThenPlacedLater) {
    test::temp_dir dir;
    const std::string big(200000, 'b');
    output_file earlier(dir / "first.dat");
    earlier.write(big);
    earlier.write("tail");
    {
        output_file later(dir / "second.dat");
        later.copy_from(earlier);
        later.write("+more");
        later.finish_writing();
        EXPECT_FALSE(fs::exists(dir / "second.dat"));
        later.close();
        EXPECT_EQ(test::read_file(dir / "second.dat"), big + "tail+more");
    }
    {
        output_file never_placed(dir / "third.dat");
        never_placed.copy_from(earlier);
        never_placed.finish_writing();
    }
    earlier.close();
    EXPECT_EQ(test::read_file(dir / "first.dat"), big + "tail");
    EXPECT_EQ(entries(dir.path()), 2);
}

// A run stopped by SIGINT or SIGTERM left its half-written temporary file (296 MB of it for a
// large replace): the handler removes it, then the signal ends the process as it would have.
TEST(OutputFile, SignalRemovesTheTemporaryFileAndEndsTheProcess) {
    test::temp_dir dir;
    const fs::path out = dir / "out.dat";
    test::write_file(out, "previous");
    for (const int signal_number : {SIGINT, SIGTERM}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            output_file file(out);
            file.write("half");
            file.flush();
            // A job may hold hundreds of finished files that wait for their turn to be placed.
            std::vector<std::unique_ptr<output_file>> waiting;
            for (int i = 0; i < 300; ++i) {
                waiting.push_back(std::make_unique<output_file>(dir / std::to_string(i)));
                waiting.back()->write("complete");
                waiting.back()->finish_writing();
            }
            ::raise(signal_number);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number);
        EXPECT_EQ(test::read_file(out), "previous");
        EXPECT_EQ(entries(dir.path()), 1);
    }
}

// Two runs into one folder mixed their files: the second one is refused, naming the lock and
// the process that holds it; a lock whose process has ended (killed) is taken over.
TEST(FolderLock, ASecondRunIsRefusedAStaleLockIsTakenOver) {
    test::temp_dir dir;
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    {
        folder_lock first(dir.path(), "run.lock");
        const std::string owner = std::to_string(::getpid()) + "@" + host;
        EXPECT_EQ(test::read_file(dir / "run.lock"), owner + "\n");
        EXPECT_EQ(error_of([&] { folder_lock second(dir.path(), "run.lock"); }),
                  "70 Permission denied - another run writes into this folder (its lock " +
                      (dir / "run.lock").string() + " is held by process " + owner +
                      "; remove the lock if that run has ended) [run.lock]");
    }
    EXPECT_FALSE(fs::exists(dir / "run.lock"));
    const pid_t ended = ::fork();
    ASSERT_GE(ended, 0);
    if (ended == 0)
        ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    test::write_file(dir / "run.lock", std::to_string(ended) + "@" + host + "\n");
    { folder_lock taken(dir.path(), "run.lock"); }
    EXPECT_FALSE(fs::exists(dir / "run.lock"));
    // Another machine's lock cannot be judged from here: it holds.
    test::write_file(dir / "run.lock", "1@elsewhere\n");
    EXPECT_NE(error_of([&] { folder_lock other(dir.path(), "run.lock"); }), "no error");
}

} // namespace
} // namespace qm
