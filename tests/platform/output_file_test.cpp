#include "platform/output_file.h"
#include "platform/run_error.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace qm {
namespace {

int error_number(const std::function<void()>& action) {
    try {
        action();
    } catch (const run_error& e) {
        return e.number;
    }
    return 0;
}

TEST(OutputFile, WritesAndTruncates) {
    test::temp_dir dir;
    test::write_file(dir / "out.txt", "old content that is longer");
    write_whole_file(dir / "out.txt", "new\n");
    EXPECT_EQ(test::read_file(dir / "out.txt"), "new\n");
}

TEST(OutputFile, FullDeviceIsDiskFull) {
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full on this machine";
    // The buffered write may succeed; the close must then report the lost bytes.
    EXPECT_EQ(error_number([] { write_whole_file("/dev/full", std::string(100000, 'x')); }), 61);
    EXPECT_EQ(error_number([] { write_whole_file("/dev/full", "tiny"); }), 61);
}

TEST(OutputFile, CreateFailures) {
    test::temp_dir dir;
    EXPECT_EQ(error_number([&] { output_file f(dir / "no-folder" / "x.pdb"); }), 76);
    EXPECT_EQ(error_number([&] { output_file f(dir.path()); }), 75);
    EXPECT_EQ(error_number([&] { output_file f(""); }), 75);
    if (geteuid() != 0) { // root writes anywhere
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::owner_exec);
        EXPECT_EQ(error_number([&] { output_file f(dir / "x.pdb"); }), 70);
    }
}

TEST(OutputFile, SameFileByIdentityNotByName) {
    test::temp_dir dir;
    test::write_file(dir / "in.xyz", "data\n");
    std::filesystem::create_symlink(dir / "in.xyz", dir / "link.xyz");
    EXPECT_EQ(error_number([&] { ensure_distinct_files(dir / "in.xyz", dir / "link.xyz"); }), 55);
    EXPECT_EQ(
        error_number([&] { ensure_distinct_files(dir / "in.xyz", dir.path() / "." / "in.xyz"); }),
        55);
    EXPECT_EQ(error_number([&] { ensure_distinct_files(dir / "in.xyz", dir / "new.pdb"); }), 0);
    EXPECT_EQ(test::read_file(dir / "in.xyz"), "data\n");
}

} // namespace
} // namespace qm
