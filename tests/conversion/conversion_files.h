// What the conversion tests share: a private folder, a UI that records what the job tells its
// user, a conversion run, and results as one text each, so a case is one row.
#pragma once

#include "conversion/conversion_job.h"

#include "support/as_text.h"
#include "support/gaussian_files.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace qm {

using in = input_type;
using out = output_type;

namespace test {

// An atom's four texts, each followed by '|', the row by ';'.
inline std::string fields(const atom_row& row) {
    return row.label + "|" + row.x + "|" + row.y + "|" + row.z + ";";
}

// The text `make` returns, or its run error.
template <class Make> std::string text_or_error(Make make) {
    std::string text;
    const std::string error = error_of([&] { text = make(); });
    return text.empty() ? error : text;
}

struct conversion_files : ::testing::Test {
    temp_dir dir;
    recording_ui ui;
    structure_record record;
    std::filesystem::path file(const std::string& text, const std::string& name = "in") {
        write_file(dir / name, text);
        return dir / name;
    }
    // Converts `input` into "out" in the folder, or "1 - out", "2 - out", ... for every
    // geometry, and returns what "out" then holds (nothing when the route ends on a message).
    std::string convert(const std::filesystem::path& input, input_type from, output_type to,
                        bool multiple = false) {
        std::filesystem::remove(dir / "out");
        run_conversion({input, dir / "out", "out", from, to, multiple}, ui);
        return read_file(dir / "out");
    }
    // How a reader ended: "found", "not found" or "reported", the atoms it read, and its last
    // message or else its last status. Clears them for the next reader.
    std::string after(result_flag flag) {
        const char* const words[] = {"not found ", "found ", "reported "};
        std::string text = words[static_cast<int>(flag)];
        for (const atom_row& row : record.atoms)
            text += flag == result_flag::success ? fields(row) : "";
        text += " " + (ui.messages.empty() ? ui.statuses.empty() ? "" : ui.statuses.back()
                                           : ui.messages.back().text);
        record = {};
        ui.messages.clear();
        ui.statuses.clear();
        return text;
    }
    std::string after(const extraction& found) { return after(found.flag); }
};

} // namespace test
} // namespace qm
