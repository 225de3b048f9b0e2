#include "platform/output_file.h"

#include "as_text.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace qm {
namespace {

TEST(OutputFile, FullDeviceIsDiskFull) {
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full on this machine";
    // The buffered write may succeed; the close must then report the lost bytes.
    EXPECT_EQ(test::error_of([] { write_whole_file("/dev/full", std::string(100000, 'x')); }),
              "61 Disk full [full]");
    EXPECT_EQ(test::error_of([] { write_whole_file("/dev/full", "tiny"); }), "61 Disk full [full]");
}

TEST(OutputFile, CreateFailures) {
    test::temp_dir dir;
    auto create = [](const std::filesystem::path& path) {
        return test::error_of([&] { output_file f(path); });
    };
    EXPECT_EQ(create(dir / "no-folder" / "x.pdb"), "76 Path not found [x.pdb]");
    EXPECT_EQ(create(dir.path()).substr(0, 25), "75 Path/File access error");
    EXPECT_EQ(create(""), "75 Path/File access error");
    if (geteuid() != 0) { // root writes anywhere
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::owner_exec);
        EXPECT_EQ(create(dir / "x.pdb"), "70 Permission denied [x.pdb]");
    }
}

TEST(OutputFile, SameFileByIdentityNotByName) {
    test::temp_dir dir;
    test::write_file(dir / "in.xyz", "data\n");
    std::filesystem::create_symlink(dir / "in.xyz", dir / "link.xyz");
    auto check = [&](const std::filesystem::path& output) {
        return test::error_of([&] { ensure_distinct_files(dir / "in.xyz", output); });
    };
    EXPECT_EQ(check(dir / "link.xyz"), "55 File already open [link.xyz]");
    EXPECT_EQ(check(dir.path() / "." / "in.xyz"), "55 File already open [in.xyz]");
    EXPECT_EQ(check(dir / "new.pdb"), "no error");
    EXPECT_EQ(test::read_file(dir / "in.xyz"), "data\n");
}

} // namespace
} // namespace qm
