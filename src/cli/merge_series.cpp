// quillmark-cli merge-series: the outputs of ev-extract runs over consecutive chunks of one
// series (array jobs on a cluster, each with --output-dir and --time-offset) joined into the
// files one run over the whole series writes. Every file of the first chunk's folder is joined,
// byte for byte and in the order the folders are given, with the file of the same name in each
// of the others; the chunks must hold the same files (a CSV table keeps the first chunk's header
// line only). Mathematica notebooks are whole documents and cannot be joined: they are left out,
// and said so. Chunks join only when they were made with the same settings (their status logs
// say so) and their times run on with one step, but for the slots their logs say were left out.
//
//   merge-series --output DIR CHUNK_DIR CHUNK_DIR ...
#include "cli/subcommand.h"
#include "ev_extract/ev_extract_job.h"
#include "ev_extract/status_log.h"
#include "platform/input_stream.h"
#include "platform/line_reader.h"
#include "platform/number_form.h"
#include "platform/output_file.h"
#include "platform/run_error.h"
#include "platform/text.h"
#include "platform/val.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace qm::cli {
namespace {

struct merge_options {
    std::string output;
    std::vector<std::string> chunks;
};

// A chunk folder that cannot be listed is the run error naming it, never an abort.
std::set<std::string> file_names(const std::filesystem::path& folder) {
    std::set<std::string> names;
    std::error_code ec;
    std::filesystem::directory_iterator entries(folder, ec);
    for (; !ec && entries != std::filesystem::directory_iterator(); entries.increment(ec))
        // The lock of a run that still writes there (or was killed) is no output of it.
        if (entries->is_regular_file(ec) && entries->path().filename() != ev_lock_name)
            names.insert(entries->path().filename().string());
    if (ec)
        throw run_error::from_number(ec == std::errc::permission_denied ? err::permission_denied
                                                                         : err::path_file_access)
            .in_file(folder);
    return names;
}

// With `skip_header`, the bytes up to and with the first line end are left out.
void append_file_to(output_file& out, const std::filesystem::path& path, bool skip_header) {
    input_stream in(path);
    std::string block(1 << 20, '\0');
    while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0) {
        std::string_view bytes(block.data(), static_cast<std::size_t>(in.gcount()));
        if (skip_header) {
            const std::size_t lf = bytes.find('\n');
            skip_header = lf == std::string_view::npos;
            bytes = skip_header ? std::string_view() : bytes.substr(lf + 1);
        }
        out.write(bytes);
    }
}

run_error not_joining(const std::filesystem::path& file, const std::string& why) {
    return run_error(err::invalid_call, "Chunks that do not join: " + why).in_file(file);
}

// The settings lines of a chunk's status log (the options summary and the jobs), without the
// ones that differ from chunk to chunk by design: its start time and its file range.
std::vector<std::string> chunk_settings(const std::filesystem::path& log) {
    std::vector<std::string> settings;
    line_reader in(log, last_line::may_end_without_lf);
    std::string line;
    while (in.next(line)) {
        if (line.ends_with('\r'))
            line.pop_back();
        if (line.starts_with("Execution started at") || line.starts_with("txt_file_start = ") ||
            line.starts_with("txt_file_end = "))
            continue;
        settings.push_back(line);
        if (line.starts_with("TOTAL JOBS TO PROCESS"))
            break;
    }
    return settings;
}

void ensure_same_settings(const std::vector<std::filesystem::path>& chunks) {
    const std::string log(status_log_name);
    const std::vector<std::string> first = chunk_settings(chunks.front() / log);
    for (std::size_t c = 1; c < chunks.size(); ++c) {
        const std::vector<std::string> own = chunk_settings(chunks[c] / log);
        for (std::size_t i = 0; i < std::max(first.size(), own.size()); ++i) {
            const std::string mine = i < own.size() ? own[i] : "(nothing)";
            const std::string theirs = i < first.size() ? first[i] : "(nothing)";
            if (mine != theirs)
                throw not_joining(chunks[c] / log, "made with other settings than " +
                                                       chunks.front().string() + " (\"" + mine +
                                                       "\" where it has \"" + theirs + "\")");
        }
    }
}

// The energy files PREFIXEV.k, whose first column is the time of each slot. With the status
// log the prefix is known; without it, any NAMEEV.k that is no _SCF-EV or _TDM+EV file.
bool time_column_file(const std::string& name, const std::optional<std::string>& prefix) {
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 == name.size() ||
        name.find_first_not_of("0123456789", dot + 1) != std::string::npos)
        return false;
    const std::string stem = name.substr(0, dot);
    if (prefix)
        return stem == *prefix + "EV";
    return stem.ends_with("EV") && !stem.ends_with("-EV") && !stem.ends_with("+EV");
}

std::optional<std::string> output_prefix(const std::filesystem::path& log) {
    line_reader in(log, last_line::may_end_without_lf);
    std::string line;
    constexpr std::string_view key = "txt_output_prefix = ";
    while (in.next(line))
        if (line.starts_with(key)) {
            if (line.ends_with('\r'))
                line.pop_back();
            return trim_blanks(line.substr(key.size()));
        }
    return std::nullopt;
}

// The slots a chunk's status log says were left out of the series of root k: the files it
// skipped, and the slots without a state in the window (left out when the run asked for it).
long long left_out_slots(const std::filesystem::path& chunk, const std::string& root) {
    const std::filesystem::path log = chunk / status_log_name;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(log, ec))
        return 0;
    const std::string empty = "    No state in the energy window for root " + root + " in file";
    line_reader in(log, last_line::may_end_without_lf);
    long long count = 0;
    std::string line;
    while (in.next(line))
        count += line.starts_with("    Skipped file - ") || line.starts_with(empty);
    return count;
}

// The joined time column must run on with one step: no repeat, no step back, across the chunks
// as within them, and no gap but for the slots the chunks' logs say were left out (the step is
// the smallest one between two lines).
void ensure_times_run_on(const std::vector<std::filesystem::path>& chunks,
                         const std::string& name) {
    struct timed_line {
        double time;
        std::size_t chunk;
    };
    std::vector<timed_line> times;
    long long allowance = 0;
    const std::string root = name.substr(name.rfind('.') + 1);
    for (std::size_t c = 0; c < chunks.size(); ++c) {
        line_reader in(chunks[c] / name, last_line::may_end_without_lf);
        std::string line;
        while (in.next(line))
            times.push_back({val(line), c});
        allowance += left_out_slots(chunks[c], root);
    }
    double step = 0;
    for (std::size_t i = 1; i < times.size(); ++i) {
        const double d = times[i].time - times[i - 1].time;
        if (d > 0 && (step == 0 || d < step))
            step = d;
    }
    long long missing = 0;
    for (std::size_t i = 1; i < times.size(); ++i) {
        const timed_line& last = times[i - 1];
        const timed_line& next = times[i];
        const double slots = (next.time - last.time) / step;
        const double whole = std::round(slots);
        const double tolerance = 1e-9 * std::max(whole, 1.0);
        const bool runs_on = whole >= 1 && std::fabs(slots - whole) <= tolerance;
        if (runs_on)
            missing += static_cast<long long>(whole) - 1;
        if (!runs_on || missing > allowance)
            throw not_joining(
                chunks[next.chunk] / name,
                "time " + text_form(next.time) + " follows time " + text_form(last.time) +
                    (next.chunk == last.chunk ? std::string()
                                              : " of " + chunks[last.chunk].string()) +
                    ", not one step of " + text_form(step) + " later");
    }
}

int merge_series(const merge_options& o, context& ctx) {
    std::error_code ec;
    std::vector<std::filesystem::path> chunks;
    for (const std::string& chunk : o.chunks) {
        if (!std::filesystem::is_directory(chunk, ec))
            throw usage_error("a chunk must be a folder, not " + chunk);
        if (std::filesystem::exists(o.output, ec) &&
            std::filesystem::equivalent(chunk, o.output, ec))
            throw usage_error("--output must not be one of the chunk folders: " + chunk);
        chunks.emplace_back(chunk);
    }
    if (std::filesystem::exists(o.output, ec) && !std::filesystem::is_directory(o.output, ec))
        throw run_error(err::path_file_access, "Path/File access error - --output names a file, "
                                               "not a folder")
            .in_file(o.output);
    const std::set<std::string> names = file_names(chunks.front());
    for (const auto& chunk : chunks) {
        const std::set<std::string> own = file_names(chunk);
        for (const std::string& name : names)
            if (!own.contains(name))
                throw run_error::from_number(err::file_not_found).in_file(chunk / name);
        for (const std::string& name : own)
            if (!names.contains(name))
                throw run_error(err::path_file_access, "A file the first chunk (" +
                                                           chunks.front().string() +
                                                           ") does not hold")
                    .in_file(chunk / name);
    }
    std::optional<std::string> prefix;
    if (names.contains(std::string(status_log_name))) {
        ensure_same_settings(chunks);
        prefix = output_prefix(chunks.front() / status_log_name);
    }
    for (const std::string& name : names)
        if (time_column_file(name, prefix))
            ensure_times_run_on(chunks, name);
    std::filesystem::create_directories(o.output, ec);
    if (ec)
        throw run_error::from_number(err::path_file_access).in_file(o.output);
    long long joined = 0;
    for (const std::string& name : names) {
        if (name.ends_with(".nb")) {
            ctx.err << "quillmark-cli merge-series: " << name
                    << ": a notebook is a whole document; not joined\n";
            continue;
        }
        ctx.ui.status("Joining " + name);
        output_file out(std::filesystem::path(o.output) / name);
        // A table (--table, --states-table written into the chunk's folder) keeps one header.
        for (const auto& chunk : chunks)
            append_file_to(out, chunk / name, name.ends_with(".csv") && chunk != chunks.front());
        out.close();
        ++joined;
    }
    ctx.ui.message(message_icon::information, "Merge Complete",
                   std::to_string(joined) + " files joined from " + std::to_string(chunks.size()) +
                       " chunks");
    return completed;
}

} // namespace

action add_merge_series(CLI::App& app) {
    auto o = std::make_shared<merge_options>();
    app.add_option("--output", o->output, "Folder for the joined files (created when missing)")
        ->required();
    app.add_option("chunks", o->chunks, "The chunks' output folders, in the order of their files")
        ->required();
    app.footer("Example: quillmark-cli merge-series --output run/all run/chunk1 run/chunk2");
    return [o](context& ctx) { return merge_series(*o, ctx); };
}

} // namespace qm::cli
