#include "ev_extract/status_log.h"

#include "platform/text.h"

namespace qm {
namespace {

const char* rule_line(extract_mode mode) {
    switch (mode) {
    case extract_mode::max_oscillator:
        return "Extracting on Oscillator Strength";
    case extract_mode::lowest_energy:
        return "Extracting lowest energy first";
    case extract_mode::gaussian_order:
        return "Extracting in same order as Gaussian output file";
    case extract_mode::orbital_profile:
        return "Extracting on orbital profile";
    case extract_mode::none:
        break;
    }
    return nullptr;
}

} // namespace

void status_log::open(const std::filesystem::path& path) {
    // Written as the run goes, so that a user can follow it and a failed run still says why.
    file_ = std::make_unique<output_file>(path, output_file::mode::live);
}

void status_log::line(std::string_view text) {
    if (!file_)
        return;
    file_->write(text);
    file_->write("\r\n");
    // A flush per line would cost a system call per line over thousands of files.
    const auto now = std::chrono::steady_clock::now();
    if (now - last_flush_ > std::chrono::milliseconds(250)) {
        file_->flush();
        last_flush_ = now;
    }
}

void status_log::close() {
    if (!file_)
        return;
    auto file = std::move(file_);
    file->close();
}

void write_status_header(status_log& log, const ev_settings& s) {
    const ev_texts& t = s.texts;
    const ev_choices& c = s.choices;
    log.line("Execution started at " + s.now());
    log.line("");
    log.line(" Options Summary");
    log.line(" ---------------");
    log.line("");
    log.line("txt_file_start = " + t.file_start);
    log.line("txt_file_end = " + t.file_end);
    log.line("txt_interval = " + t.interval);
    log.line("txt_output_prefix = " + t.output_prefix);
    log.line("txt_time_step = " + t.time_step);
    log.line("txt_points =   " + t.points);
    log.line("txt_root_start = " + t.root_start);
    log.line("txt_root_end = " + t.root_end);
    log.line("txt_limit_low = " + t.limit_low);
    log.line("txt_limit_high = " + t.limit_high);
    log.line("txtno_roots = " + t.no_roots);
    log.line("");
    if (const char* rule = rule_line(c.mode))
        log.line(rule);
    if (c.mode == extract_mode::orbital_profile) {
        log.line("State 1 From = " + trim_blanks(t.orb1_from) + " to = " + trim_blanks(t.orb1_to));
        if (s.no_roots > 1)
            log.line("State 2 From = " + trim_blanks(t.orb2_from) +
                     " to = " + trim_blanks(t.orb2_to));
    }
    log.line("");
    log.line("Jobs selected:");
    log.line("    1) Extract " + trim_blanks(t.no_roots) + " energy states.");
    int job = 1;
    auto add = [&](bool condition, const char* text) {
        if (condition)
            log.line("    " + std::to_string(++job) + text);
    };
    add(c.orbitals, ") Output Orbital excitation profile.");
    add(c.tdm_data && !c.tdm_separate, ") Output TDM Data as 2nd column of energy gap.");
    add(c.tdm_data && c.tdm_separate, ") Output TDM Data as separate files.");
    add(c.scf_energies, ") Output SCF Energies.");
    add(c.scf_cycles, ") Output SCF Cycles.");
    add(c.tdm_angle, ") Calculate angle between TDMs.");
    add(c.raw_tdms, ") Output Raw TDMs and Angle to TDM1");
    add(c.rel_tdm && !c.align_only, ") Fit TDMs to starting structure using RMS fit method.");
    add(c.rel_tdm && c.align_only,
        ") Fit TDMs to starting structure using structure independent method.");
    log.line("TOTAL JOBS TO PROCESS: " + std::to_string(job));
    log.line("");
}

} // namespace qm
