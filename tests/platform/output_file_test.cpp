// Whole-file writes on a full device.
#include "platform/output_file.h"

#include "support/as_text.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace qm {
namespace {

using test::error_of;

TEST(OutputFile, FullDeviceIsDiskFull) {
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full on this machine";
    // The buffered write may succeed; the close must then report the lost bytes.
    EXPECT_EQ(error_of([] { write_whole_file("/dev/full", std::string(100000, 'x')); }),
              "61 Disk full [full]");
    EXPECT_EQ(error_of([] { write_whole_file("/dev/full", "tiny"); }), "61 Disk full [full]");
}

} // namespace
} // namespace qm
