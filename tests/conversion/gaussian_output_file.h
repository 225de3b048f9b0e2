// The fixture of the Gaussian output reader tests, with the frequency table an output gives.
#pragma once

#include "conversion/frequency_table.h"

#include "conversion_files.h"

namespace qm {

struct gaussian_output_file : test::conversion_files {
    // The frequency table of an output with this body as "<rows>:<last row>", or how it ended.
    std::string table_of(const gaussian_version& version, const std::string& body) {
        frequency_table table;
        const result_flag flag = g98_freq_extract(
            version, file(test::gaussian_output(test::g98_banner, body)), table, ui);
        if (flag != result_flag::success) {
            EXPECT_TRUE(table.rows.empty());
            return flag == result_flag::not_found ? "not found" : "reported";
        }
        write_frequency_table(dir / "table.txt", table, ui);
        const auto lines = test::lines_of(test::read_file(dir / "table.txt"));
        return std::to_string(lines.size()) + ":" + lines.back();
    }
};

} // namespace qm
