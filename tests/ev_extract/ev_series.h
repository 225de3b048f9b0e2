// What the extraction tests share: a series of Gaussian outputs gap1.gout, gap2.gout, ... in
// a private folder, the window's texts and choices, and the job run over them with our
// fitting program as built beside the tests.
#pragma once

#include "ev_extract/ev_extract_job.h"
#include "platform/text.h"

#include "support/td_files.h"

#include <gtest/gtest.h>

namespace qm::test {

struct ev_series : ::testing::Test {
    temp_dir dir;
    recording_ui ui;
    ev_texts texts;
    ev_choices choices;

    ev_series() {
        texts.limit_low = "0";
        texts.limit_high = "10";
        choices.status_log = false;
    }
    // File n holds outputs[n - 1].
    void series(const std::vector<std::string>& outputs) {
        for (std::size_t i = 0; i < outputs.size(); ++i)
            write_file(dir / ("gap" + std::to_string(i + 1) + texts.suffix), outputs[i]);
        texts.file_end = std::to_string(outputs.size());
    }
    ev_outcome run(ev_charts* charts = nullptr) {
        ev_settings s = ev_settings_from(texts, choices);
        s.now = [] { return std::string("12:00:00 01/01/2026"); };
        const auto scan = scan_file_series(
            {"gap", texts.suffix, texts.file_start, texts.file_end, texts.interval},
            dir.path().string() + "/");
        EXPECT_TRUE(scan.valid);
        return ev_extract_job(s, scan.series, ui, {dir.path(), RMSFIT_PATH}, charts);
    }
    std::string out(const std::string& name) { return read_file(dir / name); }
    std::string last_text() const { return ui.messages.empty() ? "" : ui.messages.back().text; }
    // The energies written for root k, one per visited slot.
    std::vector<std::string> energies(int k) {
        std::vector<std::string> values;
        for (const auto& line : lines_of(out("freqgapEV." + std::to_string(k))))
            values.emplace_back(split_fields(line, " \r").at(1));
        return values;
    }
};

} // namespace qm::test
