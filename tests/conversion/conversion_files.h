// What the conversion tests share: a private folder for their input files, a UI that records
// what the job tells its user, and an atom's four texts in one string, so a row is compared
// whole.
#pragma once

#include "conversion/structure_record.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

namespace qm::test {

struct conversion_files : ::testing::Test {
    temp_dir dir;
    recording_ui ui;
    std::filesystem::path file(const std::string& text, const std::string& name = "in") {
        write_file(dir / name, text);
        return dir / name;
    }
};

inline std::string fields(const atom_row& row) {
    return row.label + "|" + row.x + "|" + row.y + "|" + row.z;
}

} // namespace qm::test
