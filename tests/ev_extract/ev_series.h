// A series of Gaussian outputs gap1.gout, gap2.gout, ... in a private folder, the window's
// texts and choices, and the job run over them with our fitting program as built.
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
    std::string prefix = "gap";
    int digits = 0; // file numbers zero-padded to this width

    ev_series() {
        texts.limit_low = "0";
        texts.limit_high = "10";
        choices.status_log = false;
    }
    void series(const std::vector<std::string>& outputs) {
        for (std::size_t i = 0; i < outputs.size(); ++i)
            write_file(dir / name(i + 1), outputs[i]);
        texts.file_end = std::to_string(outputs.size());
    }
    std::string name(std::size_t n) const {
        const std::string number = std::to_string(n);
        return prefix + std::string(std::max(0, digits - static_cast<int>(number.size())), '0') +
               number + texts.suffix;
    }
    ev_outcome run(ev_charts* charts = nullptr, ev_run_summary* summary = nullptr) {
        ev_settings s = ev_settings_from(texts, choices);
        s.now = [] { return std::string("12:00:00 01/01/2026"); };
        const auto scan = scan_file_series(
            {prefix, texts.suffix, texts.file_start, texts.file_end, texts.interval,
             std::to_string(digits)},
            dir.path().string() + "/");
        EXPECT_TRUE(scan.valid);
        return ev_extract_job(s, scan.series, ui, {dir.path(), RMSFIT_PATH}, charts, summary);
    }
    std::string last_text() const { return ui.messages.empty() ? "" : ui.messages.back().text; }
    // The last message as "title: text".
    std::string last_message() const {
        return ui.messages.empty() ? "" : ui.messages.back().title + ": " + ui.messages.back().text;
    }
    // Runs a job that must stop; the message it stopped with.
    std::string stop() {
        EXPECT_EQ(run(), ev_outcome::stopped);
        return last_message();
    }
    std::string out(const std::string& name) { return read_file(dir / name); }
    // The energies written for roots 1 to n, one per visited slot, "|" after each root's.
    std::string energies(int n) {
        std::string text;
        for (int k = 1; k <= n; ++k) {
            for (const auto& line : lines_of(out("freqgapEV." + std::to_string(k))))
                text += std::string(split_fields(line, " \r").at(1)) + " ";
            text.back() = '|';
        }
        return text;
    }
};

} // namespace qm::test
