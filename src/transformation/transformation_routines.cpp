#include "transformation/transformation_routines.h"

#include "platform/error_report.h"
#include "platform/number_form.h"
#include "platform/output_file.h"
#include "platform/process.h"
#include "platform/run_error.h"
#include "platform/text.h"
#include "platform/val.h"
#include "transformation/notebook_writer.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <thread>

namespace qm {
namespace {

constexpr std::string_view crlf = "\r\n";
constexpr double two_pi_as_written = 6.28318530717958;
constexpr double parallel_cosine = 1 - 8 * std::numeric_limits<double>::epsilon();
constexpr std::size_t coordinate_width = 11;
constexpr long long max_atoms = 99999;
constexpr std::size_t matrix_field = 12;
// The fitting program's error output, kept beside its files; only its start is shown.
constexpr const char* fit_errors = "rmsfit.err";
constexpr std::size_t said_at_most = 2000;
// A fit takes a few milliseconds: look often at first, then less and less often.
constexpr auto first_look_interval = std::chrono::microseconds(200);
constexpr auto longest_look_interval = std::chrono::milliseconds(20);

std::string count(long long n) {
    return count_text(n);
}

// The files of the three routines, in the working folder.
constexpr std::string_view raw_tdms = "raw_tdm.";
constexpr std::string_view transformed_tdms = "transformed_tdm.";
constexpr std::string_view angles_before_fit = "vector_angles_before fit.dat";
constexpr std::string_view angles_after_fit = "vector_angles_after_fit.dat";

// "raw_tdm." or "transformed_tdm.", root slot k, ".dat" or ".nb".
std::string slot_file(std::string_view kind, int k, std::string_view ending) {
    return std::string(kind) + count(k) + std::string(ending);
}

std::string raw_angles_file(int k) {
    return "raw_tdm_angles.dat." + count(k);
}

// The slots the series uses: 1, 1 + interval, ..., less those left out of the extraction's
// series (a skipped file, an empty slot left out): the routines pass over them.
template <class Visit> void for_each_slot(const tdm_context& c, Visit&& visit) {
    for (long long f = 1; f <= c.series.file_count; f += c.series.slot_interval)
        if (!c.table.left_out(f))
            visit(f);
}

// The first and the last slot visited; the first is the reference of the angles and the fit.
long long first_slot(const tdm_context& c) {
    for (long long f = 1; f <= c.series.file_count; f += c.series.slot_interval)
        if (!c.table.left_out(f))
            return f;
    return 1;
}

long long last_slot(const tdm_context& c) {
    long long last = 1;
    for_each_slot(c, [&](long long f) { last = f; });
    return last;
}

// The TDM root slot k follows in slot f; a slot where it recorded no state has none.
vector3 tdm_of(const tdm_context& c, int k, long long f) {
    const int state = c.table.root_map(k, f);
    if (state == 0)
        throw run_error(err::subscript, "Subscript out of range - no state recorded (root " +
                                            count(k) + ", file " + count(f) + ")");
    return c.table.tdm_xyz(state, f);
}

// `where` names the file (and root) in the error of a zero-length TDM. It stands in brackets:
// the report writes the error number right after the description.
double checked_angle(const vector3& a, const vector3& b, const std::string& where) {
    const double angle = tdm_angle_degrees(a, b);
    if (std::isnan(angle))
        throw run_error(err::division_by_zero,
                        "Division by zero - TDM of zero length (" + where + ")");
    return angle;
}

std::string tdm_line(const vector3& v) {
    return print_form(v[0]) + " " + print_form(v[1]) + " " + print_form(v[2]) + " " +
           std::string(crlf);
}

std::string texts(const vector3& v) {
    return text_form(v[0]) + " " + text_form(v[1]) + " " + text_form(v[2]);
}

std::string timed_angle(const tdm_context& c, long long f, double angle) {
    return print_form(static_cast<double>(f + c.settings.time_offset) *
                      c.settings.time_step) +
           "   " + print_form(angle) + std::string(crlf);
}

std::filesystem::path in_folder(const tdm_context& c, const std::string& name) {
    return c.folder / name;
}

// One angle file: time and the angle between a(f) and b(f) for every used slot.
template <class Pair>
void write_angle_file(const tdm_context& c, const std::string& name, const std::string& stage,
                      Pair&& pair) {
    const long long n = c.series.file_count;
    std::string text;
    for_each_slot(c, [&](long long f) {
        c.ui.status("Performing TDM Angle Measurements " + stage + " - File " + count(f) + " of " +
                    count(n));
        c.ui.progress_value(f);
        c.log.line("   Performing TDM Angle Measurements " + stage + " - File " + count(f) +
                   " of " + count(n));
        const auto [a, b] = pair(f);
        text += timed_angle(c, f, checked_angle(a, b, "file " + count(f)));
    });
    write_whole_file(in_folder(c, name), text);
    c.log.line("*** Finished TDM Angle Measuring " + stage + " ***");
}

} // namespace

double tdm_angle_degrees(const vector3& a, const vector3& b) {
    const double length_a = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
    const double length_b = std::sqrt(b[0] * b[0] + b[1] * b[1] + b[2] * b[2]);
    if (length_a == 0 || length_b == 0)
        return std::nan("");
    const double dot = a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
    const double cosine = dot / (length_a * length_b);
    // TDMs parallel to rounding: the lengths, the dot product and the division leave their
    // cosine a few units in the last place away from 1 (or -1), even beyond it, which the
    // formula would turn into 1.2E-06 degrees (or 179.999998).
    if (cosine >= parallel_cosine)
        return 0;
    if (cosine <= -parallel_cosine)
        return 180;
    const double radians = std::atan(-cosine / std::sqrt(1 - cosine * cosine)) + 2 * std::atan(1.0);
    return radians * 360 / two_pi_as_written;
}

std::vector<std::filesystem::path> tdm_file_names(const ev_settings& s,
                                                  const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> names;
    const bool two_roots = s.no_roots == 2;
    if (s.choices.tdm_angle && two_roots)
        names.push_back(folder / angles_before_fit);
    for (int k = 1; k <= s.no_roots; ++k) {
        if (s.choices.raw_tdms)
            for (const std::string& name : {slot_file(raw_tdms, k, ".dat"),
                                            slot_file(raw_tdms, k, ".nb"), raw_angles_file(k)})
                names.push_back(folder / name);
        if (s.choices.rel_tdm)
            for (const char* ending : {".dat", ".nb"})
                names.push_back(folder / slot_file(transformed_tdms, k, ending));
    }
    if (s.choices.rel_tdm && s.choices.tdm_angle && s.no_roots == 2)
        names.push_back(folder / angles_after_fit);
    return names;
}

void output_raw_tdms(const tdm_context& c) {
    const int roots = c.table.roots();
    const long long n = c.series.file_count;
    c.ui.progress_range(0, n);
    c.ui.progress_value(0);
    c.ui.repaint();
    auto dat = [&](int k) { return in_folder(c, slot_file(raw_tdms, k, ".dat")); };
    auto nb = [&](int k) { return in_folder(c, slot_file(raw_tdms, k, ".nb")); };
    for (int k = 1; k <= roots; ++k) {
        write_whole_file(dat(k), "");
        write_notebook_head(nb(k));
    }
    const long long first = first_slot(c), last = last_slot(c);
    vector3 reference{};
    for_each_slot(c, [&](long long f) {
        const std::string progress = "Writing Raw TDM Data - File " + count(f) + " of " + count(n);
        c.ui.status(progress);
        c.ui.progress_value(f);
        c.log.line(count(f) + "  " + progress);
        for (int k = 1; k <= roots; ++k) {
            const vector3 v = tdm_of(c, k, f);
            if (k == 1 && f == first)
                reference = v;
            c.log.line("      Raw TDM is: " + texts(v));
            c.log.line("      Root number is: " + count(k) + "   File number is: " + count(f));
            c.log.line("");
            append_file(dat(k), tdm_line(v));
            append_notebook_element(nb(k), v[0], v[1], v[2], f == last);
        }
    });
    for (int k = 1; k <= roots; ++k)
        append_notebook_trailer(nb(k), k);

    c.ui.progress_range(0, n * roots);
    c.ui.progress_value(0);
    c.log.line("   Performing Raw TDM Angle Measurements");
    c.log.line("Reference TDM = " + texts(reference));
    c.log.line("");
    long long done = 0;
    for (int k = 1; k <= roots; ++k) {
        std::string text;
        for_each_slot(c, [&](long long f) {
            c.ui.status("Performing Raw TDM Angle Measurements - Root " + count(k) + " of " +
                        count(roots) + " - File " + count(f) + " of " + count(n));
            c.ui.progress_value(++done);
            c.log.line("Current Root = " + count(k) + " of " + count(roots) +
                       " - Current File = " + count(f) + " of " + count(n));
            const vector3 v = tdm_of(c, k, f);
            const double angle =
                checked_angle(v, reference, "file " + count(f) + ", root " + count(k));
            text += timed_angle(c, f, angle);
            c.log.line("TDM = " + texts(v) + " Angle to Ref = " + text_form(angle) + " Degrees");
        });
        write_whole_file(in_folder(c, raw_angles_file(k)), text);
    }
    c.log.line("*** Finished Raw TDM Angle Measuring ***");
}

void measure_tdm_angles1(const tdm_context& c) {
    c.ui.progress_range(0, c.series.file_count);
    c.ui.progress_value(0);
    c.ui.repaint();
    if (c.settings.no_roots != 2) {
        const std::string text = "TDM angle measuring is currently only available when 2 roots "
                                 "are extracted - Skipping";
        c.log.line("ERROR: " + text);
        c.ui.message(message_icon::critical, "Incorrect root count for angle extraction", text);
        return;
    }
    // Every file compares the states file 1 chose for the two roots.
    const long long reference = first_slot(c);
    tdm_of(c, 1, reference);
    tdm_of(c, 2, reference);
    const int first = c.table.root_map(1, reference), second = c.table.root_map(2, reference);
    write_angle_file(c, std::string(angles_before_fit), "stage 1", [&](long long f) {
        return std::pair{c.table.tdm_xyz(first, f), c.table.tdm_xyz(second, f)};
    });
}

std::string amber_coordinates(const std::vector<structure_atom>& atoms) {
    std::string number = std::to_string(atoms.size());
    std::string text =
        "\n" + std::string(number.size() < 5 ? 5 - number.size() : 0, ' ') + number + "\n";
    int on_line = 0;
    for (const structure_atom& atom : atoms) {
        for (const std::string* coordinate : {&atom.x, &atom.y, &atom.z}) {
            const std::string value = format_pattern(val(*coordinate), "##0.0000000");
            text += ' ';
            text.append(coordinate_width > value.size() ? coordinate_width - value.size() : 0, ' ');
            text += value;
        }
        if (++on_line == 2) {
            text += '\n';
            on_line = 0;
        }
    }
    if (on_line != 0)
        text += '\n';
    return text;
}

std::string rmsfit_control() {
    return "# Run anal to rms fit coords to 1st set\n1 0 0 0 0 1\n0 0 0 0 0\n1 0 0 0 0 1\n"
           "9 2.0 1.2 1.0\n0   \nRMS\n0 0.01 0 0 0\nEND\n\nSTOP\n";
}

namespace {

// One row of the matrix: three numbers in 12-column fields, nothing after them (a CR of a CR LF
// line end aside); nothing for any other row.
std::optional<vector3> matrix_row(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    vector3 row{};
    for (std::size_t j = 0; j < 3; ++j) {
        const std::string_view field = line.size() > j * matrix_field
                                           ? line.substr(j * matrix_field, matrix_field)
                                           : std::string_view();
        if (!is_number(field))
            return std::nullopt;
        row[j] = strict_double(field);
    }
    if (line.size() > 3 * matrix_field &&
        line.find_first_not_of(' ', 3 * matrix_field) != std::string_view::npos)
        return std::nullopt;
    return row;
}

} // namespace

std::optional<std::array<vector3, 3>> read_rotation(const std::string& text,
                                                    std::string_view source) {
    std::array<vector3, 3> m{};
    std::size_t start = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            return std::nullopt; // not written to its end yet
        const auto row = matrix_row(std::string_view(text).substr(start, end - start));
        if (!row)
            throw run_error(err::type_mismatch, "Type mismatch (" + std::string(source) + ", row " +
                                                    count(static_cast<long long>(i) + 1) +
                                                    " is not three numbers)");
        m[i] = *row;
        start = end + 1;
    }
    return m;
}

namespace {

std::string read_if_present(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The start of what a program wrote on its error output, without the line ends around it; its
// lines joined by blanks, so the message and the log keep one line each.
std::string program_said(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text(said_at_most, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return trim_blanks(text);
}

// The coordinate texts must fit the fitting program's 12-column fields, and the atom count its
// 5 columns; found before anything is written.
std::optional<std::string> coordinates_unfit(const tdm_context& c) {
    if (c.table.atom_count > max_atoms)
        return "The structures hold " + count(c.table.atom_count) +
               " atoms; the fitting program takes at most 99999.";
    std::optional<std::string> problem;
    for_each_slot(c, [&](long long f) {
        for (const structure_atom& atom : c.table.coords(f))
            for (const std::string* coordinate : {&atom.x, &atom.y, &atom.z})
                if (!problem &&
                    format_pattern(val(*coordinate), "##0.0000000").size() > coordinate_width)
                    problem = "The coordinate " + *coordinate + " of file " + count(f) +
                              " is too wide for the fitting program (from above -100 to below "
                              "1000 Angstrom).";
    });
    return problem;
}

struct fit_stop {};

class aligner {
public:
    // Every fit runs in a private folder of its own, so the fitting program never touches the
    // user's files and no stale matrix is ever read; it holds a copy of the topology.
    explicit aligner(const tdm_context& c) : c_(c) {
        std::filesystem::copy_file(c.folder / "prmtop", fits_.path() / "prmtop");
    }

    transform_outcome run();

private:
    std::array<vector3, 3> fit(long long f);
    // The message names the failure; what the fitting program wrote on its error output (why
    // it failed, in its own words) follows it.
    [[noreturn]] void external_failure(const std::string& text) {
        const std::string said = program_said(fits_.path() / fit_errors);
        c_.log.line("FATAL ERROR: " + text);
        if (!said.empty())
            c_.log.line("      " + said);
        c_.ui.message(message_icon::critical, "External Program Error",
                      said.empty() ? text : text + std::string(message_break) + said);
        throw fit_stop{};
    }

    const tdm_context& c_;
    private_folder fits_;
};

std::array<vector3, 3> aligner::fit(long long f) {
    const auto& folder = fits_.path();
    write_whole_file(folder / "rmscrd", amber_coordinates(c_.table.coords(f)));
    c_.log.line("      Writing rmscrd file for current structure no: " + count(f));
    std::filesystem::remove(folder / "fort.55"); // never an earlier fit's matrix
    c_.log.line("      Calling rmsfit.exe");
    const long pid = start_hidden(
        c_.fitting_program,
        {"-O", "-i", "rmsfit.in", "-o", "output", "-p", "prmtop", "-c", "inpcrd", "-r", "rmscrd"},
        folder, folder / fit_errors);
    c_.log.line("      rmsfit.exe returns: " + text_form(static_cast<double>(pid)));
    if (pid == 0)
        external_failure("External Program Execution Failed - rmsfit.exe");
    const auto started = std::chrono::steady_clock::now();
    auto pause = std::chrono::duration_cast<std::chrono::microseconds>(first_look_interval);
    for (bool ended = false;;) {
        if (auto m =
                read_rotation(read_if_present(folder / "fort.55"), "fort.55 of file " + count(f))) {
            if (!ended)
                reap_process(pid, std::chrono::seconds(5));
            return *m;
        }
        if (ended)
            external_failure("rmsfit.exe ended without writing its rotation matrix for file " +
                             count(f));
        ended = process_ended(pid); // one more look at the file after the program has ended
        if (!ended && std::chrono::steady_clock::now() - started > c_.fit_time_limit) {
            end_process(pid);
            external_failure(
                "rmsfit.exe wrote no rotation matrix for file " + count(f) + " within " +
                count(std::chrono::duration_cast<std::chrono::seconds>(c_.fit_time_limit).count()) +
                " seconds");
        }
        if (!ended) {
            std::this_thread::sleep_for(pause);
            pause = std::min<std::chrono::microseconds>(pause * 2, longest_look_interval);
        }
    }
}

transform_outcome aligner::run() {
    const int roots = c_.table.roots();
    const long long n = c_.series.file_count;
    auto dat = [&](int k) { return in_folder(c_, slot_file(transformed_tdms, k, ".dat")); };
    auto nb = [&](int k) { return in_folder(c_, slot_file(transformed_tdms, k, ".nb")); };
    for (int k = 1; k <= roots; ++k) {
        write_whole_file(dat(k), "");
        write_notebook_head(nb(k));
    }
    std::vector<std::array<vector3, 2>> aligned(static_cast<std::size_t>(c_.series.used_slots()));
    const long long first = first_slot(c_), last = last_slot(c_);
    bool stop = false;
    for_each_slot(c_, [&](long long f) {
        if (stop)
            return;
        const std::string progress =
            "Performing TDM Transformations - File " + count(f) + " of " + count(n);
        c_.ui.status(progress);
        c_.ui.progress_value(f);
        c_.log.line(count(f) + "  " + progress);
        if (c_.settings.choices.align_only) {
            c_.log.line("ERROR: TDM only alignment not currently implemented.");
            c_.ui.message(message_icon::information, "Quillmark",
                          "TDM only alignment not currently implemented");
            stop = true;
            return;
        }
        std::array<vector3, 3> m{};
        for (int k = 1; k <= roots; ++k) {
            const vector3 v = tdm_of(c_, k, f);
            if (k == 1 && f == first) {
                c_.log.line("      Writing inpcrd file using 1st structure");
                write_whole_file(fits_.path() / "inpcrd",
                                 amber_coordinates(c_.table.coords(first)));
                write_whole_file(fits_.path() / "rmsfit.in", rmsfit_control());
            }
            if (k == 1 && f != first) {
                m = fit(f);
                c_.log.line("      TRANSFORMATION MATRIX FOR FILE " +
                            print_form(static_cast<double>(f)) + " IS:");
                for (const vector3& row : m)
                    c_.log.line("           " + texts(row));
                c_.log.line("");
                for (const char* name : {"rmscrd", "fort.55", "output"})
                    std::filesystem::remove(fits_.path() / name);
            }
            c_.log.line("      Applying transformation matrix");
            vector3 w = v;
            if (f != first)
                for (std::size_t i = 0; i < 3; ++i)
                    w[i] = v[0] * m[i][0] + v[1] * m[i][1] + v[2] * m[i][2];
            if (k <= 2)
                aligned[c_.series.used_index(f)][static_cast<std::size_t>(k - 1)] = w;
            c_.log.line("      Transformed TDM is: " + texts(w));
            c_.log.line("      Root number is: " + count(k) + "   File number is: " + count(f));
            c_.log.line("");
            append_file(dat(k), tdm_line(w));
            append_notebook_element(nb(k), w[0], w[1], w[2], f == last);
        }
    });
    if (stop)
        return transform_outcome::done;
    for (int k = 1; k <= roots; ++k)
        append_notebook_trailer(nb(k), k);
    if (c_.settings.choices.tdm_angle && roots == 2)
        write_angle_file(c_, std::string(angles_after_fit), "stage 2", [&](long long f) {
            const auto& pair = aligned[c_.series.used_index(f)];
            return std::pair{pair[0], pair[1]};
        });
    return transform_outcome::done;
}

} // namespace

transform_outcome transform_tdms(const tdm_context& c) {
    c.ui.progress_range(0, c.series.file_count);
    c.ui.progress_value(0);
    c.ui.repaint();
    try {
        {
            std::ifstream topology(c.folder / "prmtop");
            if (!topology) {
                run_error missing = run_error::from_number(err::file_not_found);
                missing.in_file(c.folder / "prmtop");
                std::string text =
                    error_report_text(report_form::number_form, missing, transform_routine);
                text.insert(text.find(" routine.") + 9, " - prmtop file missing!");
                c.ui.error_report(missing, error_report_title, text);
                return transform_outcome::error_report;
            }
        }
        if (const auto problem = coordinates_unfit(c)) {
            c.log.line("FATAL ERROR: " + *problem);
            c.ui.message(message_icon::critical, "Data Expected!", *problem);
            return transform_outcome::stopped;
        }
        aligner job(c);
        return job.run();
    } catch (const fit_stop&) {
        return transform_outcome::stopped;
    } catch (const std::filesystem::filesystem_error& e) {
        show_error_report(
            c.ui, report_form::number_form,
            run_error(err::path_file_access, "Path/File access error (" + e.path1().string() + ")"),
            transform_routine);
    } catch (const std::exception& e) {
        show_error_report(c.ui, report_form::number_form, as_run_error(e), transform_routine);
    }
    return transform_outcome::error_report;
}

} // namespace qm
