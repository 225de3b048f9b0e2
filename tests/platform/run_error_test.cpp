#include "platform/run_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace qm {
namespace {

struct errno_row {
    int system_error;
    file_step step;
    bool folder_exists;
    int classic;
};

class file_failure_test : public ::testing::TestWithParam<errno_row> {};

// One reading of errno for every reader and writer: the rows are what each of them reported
// before they shared it.
TEST_P(file_failure_test, maps_errno_to_the_classic_error_naming_the_file) {
    const errno_row row = GetParam();
    const std::filesystem::path folder =
        row.folder_exists ? std::filesystem::temp_directory_path()
                          : std::filesystem::temp_directory_path() / "qm-no-such-folder-here";
    const run_error e = file_failure(folder / "data.out", row.system_error, row.step);
    EXPECT_EQ(e.number, row.classic);
    EXPECT_EQ(e.description, run_error_text(row.classic));
    EXPECT_EQ(e.file, folder / "data.out");
}

INSTANTIATE_TEST_SUITE_P(
    rows, file_failure_test,
    ::testing::Values(errno_row{ENOSPC, file_step::write, true, err::disk_full},
                      errno_row{EDQUOT, file_step::create, true, err::disk_full},
                      errno_row{EIO, file_step::write, true, err::path_file_access},
                      errno_row{EACCES, file_step::write, true, err::path_file_access},
                      errno_row{EACCES, file_step::create, true, err::permission_denied},
                      errno_row{EROFS, file_step::create, true, err::permission_denied},
                      errno_row{EPERM, file_step::open, true, err::permission_denied},
                      errno_row{ENOENT, file_step::open, true, err::file_not_found},
                      errno_row{ENOENT, file_step::open, false, err::path_not_found},
                      errno_row{ENOENT, file_step::create, false, err::path_not_found},
                      errno_row{ENOENT, file_step::create, true, err::path_file_access},
                      errno_row{EISDIR, file_step::open, true, err::path_file_access}));

TEST(file_failure, standard_output_names_no_file) {
    EXPECT_EQ(file_failure({}, ENOSPC, file_step::write).description, "Disk full");
    EXPECT_TRUE(file_failure({}, EIO, file_step::write).file.empty());
}

} // namespace
} // namespace qm
