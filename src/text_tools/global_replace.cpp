#include "text_tools/global_replace.h"

#include "platform/error_report.h"
#include "platform/input_stream.h"
#include "platform/output_file.h"
#include "platform/run_error.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {
namespace {

// The text is held in chunks of a few kilobytes, so a replacement moves at most one chunk's
// bytes instead of the whole text. Each search text keeps the place of its first occurrence;
// after a replacement only the stretch the replacement can have changed is searched again
// (a search text of length m can only be created by a replacement where it starts less than m
// bytes before the replaced place), which is what keeps the passes' results exact and their
// cost from growing with text size times replacements.
constexpr std::size_t chunk_target = 4096;
constexpr std::size_t chunk_max = 2 * chunk_target;
constexpr std::size_t unbounded = std::numeric_limits<std::size_t>::max();

struct place {
    std::size_t chunk = 0;
    std::size_t off = 0;
    friend bool operator==(place, place) = default;
    friend bool operator<(place a, place b) {
        return a.chunk != b.chunk ? a.chunk < b.chunk : a.off < b.off;
    }
};

using cursor = std::optional<place>;

class chunked_text {
public:
    explicit chunked_text(std::string_view text) {
        for (std::size_t at = 0; at < text.size(); at += chunk_target)
            chunks_.emplace_back(text.substr(at, chunk_target));
        if (chunks_.empty())
            chunks_.emplace_back();
    }

    std::string joined() const {
        std::size_t total = 0;
        for (const auto& c : chunks_)
            total += c.size();
        std::string out;
        out.reserve(total);
        for (const auto& c : chunks_)
            out += c;
        return out;
    }

    // `p` moved back by up to `n` bytes (not before the start); `moved` says how far.
    place back(place p, std::size_t n, std::size_t& moved) const {
        moved = 0;
        while (n > 0) {
            if (p.off >= n) {
                p.off -= n;
                moved += n;
                break;
            }
            moved += p.off;
            n -= p.off;
            p.off = 0;
            if (p.chunk == 0)
                break;
            --p.chunk;
            p.off = chunks_[p.chunk].size();
        }
        return p;
    }

    bool matches_at(place p, std::string_view pattern) const {
        for (char wanted : pattern) {
            while (p.off >= chunks_[p.chunk].size()) {
                if (++p.chunk == chunks_.size())
                    return false;
                p.off = 0;
            }
            if (chunks_[p.chunk][p.off++] != wanted)
                return false;
        }
        return true;
    }

    // The first occurrence starting at `from` or later, among at most `starts` start places.
    cursor find(place from, std::string_view pattern, std::size_t starts) const {
        const std::size_t m = pattern.size();
        for (place p = from; p.chunk < chunks_.size() && starts > 0; ++p.chunk, p.off = 0) {
            const std::string& c = chunks_[p.chunk];
            if (p.off >= c.size())
                continue;
            const std::size_t here = std::min(c.size() - p.off, starts);
            std::size_t s = p.off;
            if (p.off + m <= c.size()) {
                // Starts whose occurrence lies inside this chunk.
                const std::size_t inside = std::min(here, c.size() - m + 1 - p.off);
                const std::string_view window(c.data() + p.off, inside + m - 1);
                const auto found = window.find(pattern);
                if (found != std::string_view::npos)
                    return place{p.chunk, p.off + found};
                s += inside;
            }
            // Starts whose occurrence runs on into the next chunks.
            for (; s < p.off + here; ++s)
                if (matches_at({p.chunk, s}, pattern))
                    return place{p.chunk, s};
            starts -= here;
        }
        return std::nullopt;
    }

    // True when `b` lies at least `need` bytes after `a` (a <= b).
    bool at_least_apart(place a, place b, std::size_t need) const {
        if (a.chunk == b.chunk)
            return b.off - a.off >= need;
        std::size_t total = chunks_[a.chunk].size() - a.off;
        for (std::size_t c = a.chunk + 1; c < b.chunk && total < need; ++c)
            total += chunks_[c].size();
        return total + b.off >= need;
    }

    // Moves bytes from the following chunks so that the `m` bytes at `e` lie in e's chunk.
    void gather(place e, std::size_t m, std::array<cursor*, 2> cursors) {
        std::string& c = chunks_[e.chunk];
        std::size_t d = e.chunk + 1;
        while (c.size() - e.off < m && d < chunks_.size()) {
            std::string& next = chunks_[d];
            const std::size_t t = std::min(m - (c.size() - e.off), next.size());
            const std::size_t base = c.size();
            c.append(next, 0, t);
            next.erase(0, t);
            for (cursor* k : cursors) {
                if (*k && (*k)->chunk == d) {
                    if ((*k)->off < t)
                        **k = place{e.chunk, base + (*k)->off};
                    else
                        (*k)->off -= t;
                }
            }
            if (next.empty())
                ++d;
        }
    }

    void splice(place e, std::size_t m, std::string_view with) {
        chunks_[e.chunk].replace(e.off, m, with);
    }

    // Keeps every chunk small enough that a replacement stays cheap.
    void split_if_large(std::size_t chunk, std::array<cursor*, 2> cursors) {
        if (chunks_[chunk].size() <= chunk_max)
            return;
        const std::size_t half = chunks_[chunk].size() / 2;
        chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(chunk) + 1,
                       chunks_[chunk].substr(half));
        chunks_[chunk].resize(half);
        for (cursor* k : cursors) {
            if (!*k)
                continue;
            if ((*k)->chunk > chunk)
                ++(*k)->chunk;
            else if ((*k)->chunk == chunk && (*k)->off >= half)
                **k = place{chunk + 1, (*k)->off - half};
        }
    }

private:
    std::vector<std::string> chunks_;
};

// One pair alone: each pass replaces the first occurrence from the start. Nothing before that
// occurrence matched, so after it is replaced the next first occurrence starts at most
// |search| - 1 characters before the replacement: one left-to-right sweep with that much
// look-back does every pass, and the text is copied once.
replace_outcome replace_one_pair(std::string_view text, const replace_pair& pair,
                                 std::int64_t most) {
    const std::string& search = pair.search;
    const std::string& replace = pair.replace;
    const std::size_t m = search.size();
    replace_outcome outcome;
    if (text.find(search) != std::string_view::npos && replace.find(search) != std::string::npos) {
        outcome.endless = true; // its replace text holds its own search text
        return outcome;
    }
    std::string& done = outcome.text; // the text before the input still to be read
    done.reserve(text.size());
    std::size_t in = 0;   // input read so far
    std::size_t scan = 0; // no occurrence starts in done before this
    auto replaced_at = [&](std::size_t q) {
        scan = q >= m - 1 ? q - (m - 1) : 0;
        return ++outcome.replacements <= most;
    };
    for (;;) {
        // An occurrence inside done (made by a replacement), then one that runs from the end
        // of done into the input, then one in the input.
        if (const std::size_t q = done.find(search, scan); q != std::string::npos) {
            done.replace(q, m, replace);
            if (!replaced_at(q))
                break;
            continue;
        }
        const std::size_t tail = std::max(scan, done.size() > m - 1 ? done.size() - (m - 1) : 0);
        const std::string window = done.substr(tail) + std::string(text.substr(in, m - 1));
        if (const std::size_t j = window.find(search); j != std::string::npos) {
            const std::size_t q = tail + j;
            in += m - (done.size() - q);
            done.resize(q);
            done += replace;
            if (!replaced_at(q))
                break;
            continue;
        }
        const std::size_t p = text.find(search, in);
        if (p == std::string_view::npos) {
            done.append(text.substr(in));
            return outcome;
        }
        done.append(text.substr(in, p - in));
        in = p + m;
        const std::size_t q = done.size();
        done += replace;
        if (!replaced_at(q))
            break;
    }
    outcome.endless = true;
    return outcome;
}

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

} // namespace

std::int64_t replacement_limit(std::size_t size, const replace_pair& pair1,
                               const replace_pair& pair2) {
    // Pairs that do not feed themselves (a replace text holding its own search text, directly
    // or through the other pass) replace each occurrence that stands in the text once, and
    // each occurrence an earlier replacement wrote once: at most one per byte of the text for
    // each pair, and one more per byte a replacement writes (tab -> 8 blanks, then blank ->
    // "." on each of them). A job that needs more keeps feeding itself.
    const auto used = [](const replace_pair& p) {
        return p.search.empty() ? 0 : static_cast<std::int64_t>(p.replace.size()) + 1;
    };
    return (static_cast<std::int64_t>(size) + 1) * (used(pair1) + used(pair2));
}

replace_outcome apply_replacements(std::string_view text, const replace_pair& pair1,
                                   const replace_pair& pair2, std::optional<std::int64_t> limit) {
    const std::array<const replace_pair*, 2> pairs{&pair1, &pair2};
    const std::int64_t most = limit.value_or(replacement_limit(text.size(), pair1, pair2));
    if (pair1.search.empty() != pair2.search.empty())
        return replace_one_pair(text, pair1.search.empty() ? pair2 : pair1, most);
    chunked_text s(text);
    std::array<cursor, 2> first;
    for (int k = 0; k < 2; ++k)
        if (!pairs[k]->search.empty())
            first[k] = s.find({}, pairs[k]->search, unbounded);
    const std::array<cursor*, 2> cursors{&first[0], &first[1]};

    replace_outcome outcome;
    const bool one_pair = pair1.search.empty() || pair2.search.empty();
    for (int k = 0; k < 2; ++k) {
        // A lone pair whose replace text holds its own search text never ends.
        if (one_pair && first[k] && contains(pairs[k]->replace, pairs[k]->search)) {
            outcome.endless = true;
            return outcome;
        }
    }
    // Two pairs that swap texts at one place give back the very text the pass started from.
    const bool swapping =
        !one_pair && pair1.replace == pair2.search && pair2.replace == pair1.search;

    for (;;) {
        bool made = false;
        place first_place{};
        for (int k = 0; k < 2; ++k) {
            if (!first[k])
                continue;
            if (k == 1 && made && swapping && *first[1] == first_place) {
                outcome.endless = true;
                return outcome;
            }
            s.split_if_large(first[k]->chunk, cursors);
            const place e = *first[k];
            const std::string& search = pairs[k]->search;
            const std::string& replace = pairs[k]->replace;
            s.gather(e, search.size(), cursors);

            enum class where { none, before, after, overlap };
            std::array<where, 2> kind{where::none, where::none};
            for (int j = 0; j < 2; ++j) {
                if (pairs[j]->search.empty())
                    continue;
                const cursor& f = first[j];
                if (!f)
                    kind[j] = where::none;
                else if (j == k)
                    kind[j] = where::overlap;
                else if (f->chunk > e.chunk ||
                         (f->chunk == e.chunk && f->off >= e.off + search.size()))
                    kind[j] = where::after;
                else if (*f < e && s.at_least_apart(*f, e, pairs[j]->search.size()))
                    kind[j] = where::before;
                else
                    kind[j] = where::overlap;
            }

            s.splice(e, search.size(), replace);
            ++outcome.replacements;
            made = true;
            first_place = e;

            for (int j = 0; j < 2; ++j) {
                if (pairs[j]->search.empty() || kind[j] == where::before)
                    continue;
                const std::string& look = pairs[j]->search;
                if (kind[j] == where::after && first[j]->chunk == e.chunk)
                    first[j]->off = first[j]->off + replace.size() - search.size();
                std::size_t moved = 0;
                const place from = s.back(e, look.size() - 1, moved);
                if (kind[j] == where::overlap) {
                    first[j] = s.find(from, look, unbounded);
                } else if (const cursor created = s.find(from, look, moved + replace.size())) {
                    first[j] = created;
                }
            }
            if (outcome.replacements > most) {
                outcome.endless = true;
                return outcome;
            }
        }
        if (!made)
            break;
    }
    outcome.text = s.joined();
    return outcome;
}

namespace {

std::string read_whole(const std::string& path) {
    errno = 0;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        throw file_failure(path, errno, file_step::open);
    std::string bytes;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec)
        bytes.reserve(static_cast<std::size_t>(size));
    char buffer[1 << 16];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed)
        throw run_error::from_number(err::path_file_access).in_file(path);
    return bytes;
}

// Files replace must never rewrite, refused before anything is written: a FIFO or a device
// (drained, or turned into a file) and compressed data (edited byte by byte, it is destroyed).
// A file that is missing or a folder is reported when its turn comes, as any failure to read.
void ensure_rewritable_kind(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode))
        return;
    // The window's report shows the description alone: it names the file itself.
    const std::string name = std::filesystem::path(path).filename().string();
    if (!S_ISREG(info.st_mode))
        throw run_error(err::path_file_access, "Path/File access error - " + name +
                                                   " is no regular file (a FIFO, socket or "
                                                   "device)")
            .in_file(path);
    char head[6] = {};
    std::size_t got = 0;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        got = std::fread(head, 1, sizeof head, f);
        std::fclose(f);
    }
    const std::string_view compression = compression_name(std::string_view(head, got));
    if (!compression.empty())
        throw run_error(err::path_file_access, "Path/File access error - " + name + " holds " +
                                                   std::string(compression) +
                                                   " compressed data: only text is replaced in")
            .in_file(path);
}

std::string endless_text(const std::string& path, std::int64_t limit) {
    std::string text = "The replacements in ";
    text += path;
    text += " never come to an end (more than ";
    text += std::to_string(limit);
    text += " would be needed).";
    text += message_break;
    text += "The file is left as it was.";
    return text;
}

} // namespace

replace_result replace_in_files(const replace_settings& settings, JobUi& ui) {
    busy_pointer busy(ui);
    replace_result result;
    const auto count = static_cast<long long>(settings.files.size());
    ui.progress_range(0, count);
    const bool done = run_trapped(ui, report_form::number_form, replace_routine, [&] {
        if (!settings.pair1.search.empty() || !settings.pair2.search.empty()) {
            for (const std::string& path : settings.files)
                ensure_rewritable_kind(path);
            for (long long i = 1; i <= count; ++i) {
                const std::string& path = settings.files[static_cast<std::size_t>(i - 1)];
                const std::string before = read_whole(path);
                replace_outcome done = apply_replacements(before, settings.pair1, settings.pair2);
                if (done.endless) {
                    result.refused.push_back(path);
                    ui.message(message_icon::exclamation, "Replacements Never End",
                               endless_text(path, replacement_limit(before.size(), settings.pair1,
                                                                    settings.pair2)));
                } else if (done.replacements > 0) {
                    // A file the user may not write stays as it is (a rename over it would
                    // still succeed in a folder the user may write).
                    if (::access(path.c_str(), W_OK) != 0)
                        throw run_error::from_number(err::permission_denied).in_file(path);
                    replace_file_contents(path, done.text,
                                          settings.backups ? path + ".bak" : std::string());
                    result.replacements += done.replacements;
                    ++result.files_changed;
                }
                ui.progress_value(i);
                ui.counts("Files Processed = " + std::to_string(i),
                          "Files Remaining = " + std::to_string(count - i));
                ui.status("Replacements Made = " + std::to_string(result.replacements));
                ui.repaint();
            }
        }
    });
    if (!done)
        return result;
    std::string text = "Search and Replace Finished";
    text += message_break;
    text += "Made " + std::to_string(result.replacements) + " replacements in " +
            std::to_string(result.files_changed) + " files.";
    ui.message(message_icon::information, "Process Complete", text);
    result.completed = true;
    return result;
}

} // namespace qm
