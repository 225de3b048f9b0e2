// quillmark-cli ev-extract: the Ev extraction window without a display. Options carry the
// window's texts and go through the same conversion and enabling rules. Two more serve a
// series split into chunks over a cluster's array jobs: --output-dir (the outputs and the
// status log go there) and --time-offset (the slots before the chunk), so that merge-series
// joins the chunks' files into the one-run result.
#include "cli/subcommand.h"
#include "ev_extract/ev_extract_job.h"
#include "ev_extract/file_series.h"
#include "platform/error_report.h"
#include "platform/job_ui.h"

#include <filesystem>
#include <memory>
#include <optional>

namespace qm::cli {
namespace {

struct ev_options {
    std::optional<std::string> dir, prefix, suffix, pick;
    series_texts series{"", ".gout", "1", "1", "1"};
    ev_texts texts;
    ev_choices choices;
    std::string mode = "osc";
    std::optional<std::string> orb1, orb2;
    bool no_status_log = false;
    std::optional<std::string> output_dir;
    long long time_offset = 0;
    std::optional<int> digits;
    std::string empty_slots = "limit";
};

// "FROM:TO" into the two boxes of an orbital pair.
void split_pair(const std::string& pair, std::string& from, std::string& to) {
    const auto colon = pair.find(':');
    if (colon == std::string::npos)
        throw usage_error("an orbital pair is written FROM:TO, not " + pair);
    from = pair.substr(0, colon);
    to = pair.substr(colon + 1);
}

// The key filters of the window's boxes.
void check_keys(const std::string& option, const std::string& text, bool decimal) {
    for (char c : text)
        if (!(decimal ? accepts_decimal_key(c) : accepts_digit_key(c)))
            throw usage_error(option + " takes digits" + (decimal ? " and '.'" : "") +
                              " only, not " + text);
}

void check_choices(const ev_options& o, const ev_choices& c, const ev_texts& t) {
    for (const auto& [option, text] : {std::pair{"--start", o.series.start},
                                       {"--end", o.series.end},
                                       {"--interval", o.series.interval},
                                       {"--limit-low", t.limit_low},
                                       {"--limit-high", t.limit_high},
                                       {"--time-step", t.time_step},
                                       {"--roots", t.no_roots}})
        check_keys(option, text, true);
    for (const auto& [option, text] : {std::pair{"--points", t.points},
                                       {"--root-start", t.root_start},
                                       {"--root-end", c.root_end_all ? "" : t.root_end},
                                       {"--orb1", t.orb1_from + t.orb1_to},
                                       {"--orb2", t.orb2_from + t.orb2_to}})
        check_keys(option, text, false);
    if (!execute_enabled(t))
        throw usage_error("--output-prefix, --time-step, --points, --root-start and --root-end "
                          "must not be empty");
    if (c.tdm_separate && !tdm_separate_enabled(c))
        throw usage_error("--tdm-separate needs --tdm");
    if ((o.orb1 || o.orb2) && !orbital_controls_enabled(t, c))
        throw usage_error("--orb1 and --orb2 need --mode orbital and fewer than 3 roots");
    if (c.tdm_angle && !tdm_angle_enabled(t))
        throw usage_error("--tdm-angle needs exactly 2 roots");
    if (c.rel_tdm && !rel_tdm_enabled(t))
        throw usage_error("--rel-tdm needs an interval of 1");
    if (c.align_only && !align_only_enabled(t, c))
        throw usage_error("--align-only needs --rel-tdm and more than 1 root");
}

extract_mode mode_named(const std::string& name) {
    if (name == "lowest")
        return extract_mode::lowest_energy;
    if (name == "gaussian")
        return extract_mode::gaussian_order;
    if (name == "orbital")
        return extract_mode::orbital_profile;
    return extract_mode::max_oscillator;
}

std::string with_separator(std::string dir) {
    if (!dir.empty() && dir.back() != std::filesystem::path::preferred_separator)
        dir += std::filesystem::path::preferred_separator;
    return dir;
}

// The files a completed run skipped, and the slots with no state, on stderr.
void report_left_out(const ev_run_summary& summary, context& ctx) {
    for (const auto& file : summary.skipped)
        ctx.err << "quillmark-cli ev-extract: skipped " << file.name << ": " << file.reason << "\n";
    if (!summary.skipped.empty())
        ctx.err << "quillmark-cli ev-extract: " << summary.skipped.size() << " of "
                << summary.files << " files skipped\n";
    if (summary.empty_slots > 0)
        ctx.err << "quillmark-cli ev-extract: " << summary.empty_slots
                << " slots with no state in the energy window\n";
}

int run_ev_extract(ev_options& o, context& ctx) {
    std::string data_path;
    if (o.pick) {
        const std::filesystem::path picked = std::filesystem::absolute(*o.pick);
        const picked_file p = pick_series_file(picked.string(), picked.filename().string());
        if (!p.numbered)
            throw usage_error(unnumbered_file_text(picked.filename().string()));
        data_path = p.data_path;
        o.series.prefix = p.prefix;
        o.series.suffix = p.suffix;
        o.series.digits = std::to_string(p.digits);
        o.choices.zipped = o.choices.zipped || p.compressed;
    }
    if (o.dir)
        data_path = with_separator(*o.dir);
    if (o.prefix)
        o.series.prefix = *o.prefix;
    if (o.suffix)
        o.series.suffix = *o.suffix;
    o.texts.file_start = o.series.start;
    o.texts.file_end = o.series.end;
    o.texts.interval = o.series.interval;
    o.texts.suffix = o.series.suffix;
    if (o.digits)
        o.series.digits = std::to_string(*o.digits);
    o.choices.root_end_all = o.texts.root_end == "all";
    o.choices.empty_slots =
        o.empty_slots == "skip" ? empty_slot_rule::leave_out : empty_slot_rule::write_limit;
    o.choices.mode = mode_named(o.mode);
    o.choices.status_log = !o.no_status_log;
    if (o.orb1)
        split_pair(*o.orb1, o.texts.orb1_from, o.texts.orb1_to);
    if (o.orb2)
        split_pair(*o.orb2, o.texts.orb2_from, o.texts.orb2_to);
    check_choices(o, o.choices, o.texts);

    ev_job_place place;
    if (o.output_dir) {
        std::error_code ec;
        if (!std::filesystem::is_directory(*o.output_dir, ec))
            throw usage_error("--output-dir must name an existing folder, not " + *o.output_dir);
        place.working_folder = *o.output_dir;
    }

    scan_result scan;
    ev_settings settings;
    if (!run_trapped(ctx.ui, report_form::number_form,
                     "frm_ev_extract submodule: cmd_scan_file - click", [&] {
                         scan = scan_file_series(o.series, data_path);
                         settings = ev_settings_from(o.texts, o.choices);
                         settings.time_offset = o.time_offset;
                         if (o.output_dir)
                             settings.output_folder = with_separator(*o.output_dir);
                     }))
        return stopped;
    if (!scan.valid) {
        show_scan_refusal(scan, ctx.ui);
        return stopped;
    }
    ctx.ui.status("Ready to Process " + std::to_string(scan.series.file_count) + " Files.");
    ev_run_summary summary;
    if (ev_extract_job(settings, scan.series, ctx.ui, place, nullptr, &summary) !=
        ev_outcome::completed)
        return stopped;
    report_left_out(summary, ctx);
    return completed;
}

// "all" (each file's own last state), or a state number counted as the other counts are.
CLI::Validator states_or_all(double most) {
    const CLI::Validator count = count_in_range(most);
    return CLI::Validator(
        [count](std::string& text) { return text == "all" ? std::string() : count(text); },
        "all|" + count.get_description());
}

} // namespace

action add_ev_extract(CLI::App& app) {
    auto o = std::make_shared<ev_options>();
    app.add_option("--dir", o->dir, "Folder of the Gaussian outputs");
    app.add_option("--prefix", o->prefix, "File name prefix (before the number)");
    app.add_option("--suffix", o->suffix, "File name suffix (after the number; default .gout)");
    app.add_option("--pick", o->pick,
                   "One file of the series: fills --dir, --prefix, --suffix and --zipped");
    // File numbers: whole, up to the whole numbers a double holds exactly; a range the window
    // would refuse (an end before the start, an interval of 0) is left to its message.
    constexpr double most_file_number = 1e15;
    app.add_option("--start", o->series.start, "First file number")
        ->check(count_in_range(most_file_number, 0))
        ->capture_default_str();
    app.add_option("--end", o->series.end, "Last file number")
        ->check(count_in_range(most_file_number, 0))
        ->capture_default_str();
    app.add_option("--interval", o->series.interval, "Use every n-th file")
        ->check(count_in_range(most_file_number, 0))
        ->capture_default_str();
    app.add_flag("--zipped", o->choices.zipped,
                 "Compressed files (zip by a .zip suffix, else gzip)");
    app.add_option("--output-prefix", o->texts.output_prefix, "Start of every output name")
        ->capture_default_str();
    app.add_option("--time-step", o->texts.time_step, "fs per file")->capture_default_str();
    // Counts are checked here, before a job turns them into file lengths or state numbers:
    // points up to the whole numbers a double holds exactly, states and roots up to an int.
    constexpr double most_points = 1e15;
    constexpr double most_states = 2147483647;
    app.add_option("--points", o->texts.points, "Points per rad/s file")
        ->check(count_in_range(most_points))
        ->capture_default_str();
    app.add_option("--root-start", o->texts.root_start, "First state searched")
        ->check(count_in_range(most_states))
        ->capture_default_str();
    app.add_option("--root-end", o->texts.root_end,
                   "Last state searched; all: each file's own last excited state")
        ->check(states_or_all(most_states))
        ->capture_default_str();
    app.add_option("--limit-low", o->texts.limit_low, "Energy window, eV")->capture_default_str();
    app.add_option("--limit-high", o->texts.limit_high, "Energy window, eV")->capture_default_str();
    app.add_option("--roots", o->texts.no_roots, "Roots to extract in order")
        ->check(count_in_range(most_states))
        ->capture_default_str();
    app.add_option("--mode", o->mode, "State choice")
        ->check(CLI::IsMember({"osc", "lowest", "gaussian", "orbital"}))
        ->capture_default_str();
    app.add_option("--orb1", o->orb1, "Root 1 orbital profile FROM:TO (default 1:1)");
    app.add_option("--orb2", o->orb2, "Root 2 orbital profile FROM:TO (default 1:1)");
    app.add_flag("--tdm", o->choices.tdm_data, "Output TDM data");
    app.add_flag("--tdm-separate", o->choices.tdm_separate, "TDM data in separate files");
    app.add_flag("--scf-energies", o->choices.scf_energies, "Output SCF energies");
    app.add_flag("--scf-cycles", o->choices.scf_cycles, "Output SCF cycle counts");
    app.add_flag("--orbitals", o->choices.orbitals, "Write orbital data");
    app.add_flag("--no-status-log", o->no_status_log, "No execution_status.dat");
    app.add_flag("--tdm-angle", o->choices.tdm_angle, "Angle between the TDMs of 2 roots");
    app.add_flag("--raw-tdms", o->choices.raw_tdms, "Raw TDMs and angle to the first TDM");
    app.add_flag("--rel-tdm", o->choices.rel_tdm, "Relative TDM alignment");
    app.add_flag("--align-only", o->choices.align_only, "Structure independent alignment");
    app.add_option("--output-dir", o->output_dir,
                   "Folder for the outputs and the status log instead of the input folder and "
                   "the current one (the TDM alignment then reads its prmtop there too)");
    app.add_option("--time-offset", o->time_offset,
                   "Slots of the whole series before this chunk: slot s is written at time "
                   "(s + offset) x step, so chunks join into one run (see merge-series)")
        ->check(CLI::Range(0LL, 1000000000000LL))
        ->capture_default_str()
        ->option_text("SLOTS (default: 0)");
    app.add_option("--digits", o->digits,
                   "File numbers zero-padded to N digits (frame_0001.log: 4); 0: no padding")
        ->check(CLI::Range(0, max_file_digits))
        ->option_text("N (default: 0, or the picked file's)");
    app.add_flag("--skip-failed", o->choices.skip_failed,
                 "Leave out files that are missing, unreadable or hold no states of the range "
                 "(listed on stderr and in the status log) instead of stopping");
    app.add_option("--empty-slots", o->empty_slots,
                   "A slot with no state in the energy window: limit (write the upper limit) "
                   "or skip (leave it out of that root's series)")
        ->check(CLI::IsMember({"limit", "skip"}))
        ->capture_default_str();
    app.add_flag("--last-section", o->choices.last_section,
                 "Read the last excited-state section of a file that holds several");
    app.add_option("--table", o->texts.results_table,
                   "Write the results table (CSV, one row per file and root) to FILE")
        ->option_text("FILE");
    app.add_option("--states-table", o->texts.states_table,
                   "Write every excited state read (CSV, one row per state) to FILE")
        ->option_text("FILE");
    app.footer("Example: quillmark-cli ev-extract --pick run/gap1.gout --end 2000 --roots 2 --tdm");
    return [o](context& ctx) { return run_ev_extract(*o, ctx); };
}

} // namespace qm::cli
