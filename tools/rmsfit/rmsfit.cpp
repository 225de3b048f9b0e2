#include "rmsfit/rmsfit.h"

#include <Eigen/LU>
#include <Eigen/SVD>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>
#include <vector>

namespace qm::rmsfit {

namespace {

// Coordinate file columns (1-based):
//   line 2    1-5    atom count (I5); an Amber restart file may follow it with the time,
//                    separated by at least one blank
//   line 3+   1-12, 13-24, ..., 61-72   up to six values (F12.7: one blank, then the number
//                    right-justified in 11 columns)
constexpr std::size_t count_width = 5;
constexpr std::size_t field_width = 12;
constexpr std::size_t values_per_line = 6;

// fort.55 columns: three values per line in F12.8. A rotation entry lies in [-1, 1], so
// "-1.00000000" (11 characters) always leaves at least one blank in front.
constexpr std::size_t rotation_width = 12;
constexpr int rotation_decimals = 8;

// Below this ratio of the second to the largest singular value of the covariance the atoms
// count as collinear. For two similar structures the ratio is the square of (spread across
// the line / spread along it), so exactly collinear atoms written with 7 decimals land near
// 1e-15, while any real molecule, even a nearly linear one, sits many orders above 1e-10.
constexpr double collinear_ratio = 1e-10;

// The lines of a text, LF-separated; a CR before the LF is dropped so a file that passed
// through a DOS editor still reads. A last line without LF counts as a line.
std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t lf = text.find('\n', start);
        std::size_t end = lf == std::string_view::npos ? text.size() : lf;
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (lf == std::string_view::npos)
            break;
        start = lf + 1;
    }
    return lines;
}

std::string_view trim(std::string_view text) {
    constexpr std::string_view blanks = " \t";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    std::size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

bool is_blank(std::string_view text) {
    return trim(text).empty();
}

std::string line_label(std::size_t index) {
    return "line " + std::to_string(index + 1);
}

// The whole (trimmed) text as a finite number; from_chars ignores the locale.
bool parse_number(std::string_view text, double& value) {
    text = trim(text);
    if (text.empty())
        return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

long parse_atom_count(std::string_view line) {
    std::string_view count_text = trim(line.substr(0, count_width));
    std::string_view rest = line.size() > count_width ? line.substr(count_width) : "";
    if (!rest.empty() && rest.front() != ' ')
        throw input_error("line 2: the atom count does not fit columns 1-" +
                          std::to_string(count_width));
    double time = 0;
    if (!is_blank(rest) && !parse_number(rest, time))
        throw input_error("line 2: unexpected text after the atom count");
    long count = 0;
    auto [end, ec] =
        std::from_chars(count_text.data(), count_text.data() + count_text.size(), count);
    if (count_text.empty() || ec != std::errc() || end != count_text.data() + count_text.size())
        throw input_error("line 2: no atom count in columns 1-" + std::to_string(count_width));
    return count;
}

// Appends the values of one coordinate line to `values`. `expected` is how many this line
// must hold: six, or what is left on the last line.
void read_value_line(std::string_view line, std::size_t line_index, std::size_t expected,
                     std::vector<double>& values) {
    // Trailing blanks are not a field: a writer may pad its lines or not.
    std::size_t used = line.find_last_not_of(" \t");
    used = used == std::string_view::npos ? 0 : used + 1;
    std::size_t fields = (used + field_width - 1) / field_width;
    if (fields != expected)
        throw input_error(line_label(line_index) + ": " + std::to_string(fields) +
                          " values where " + std::to_string(expected) + " are expected");
    for (std::size_t f = 0; f < fields; ++f) {
        std::string_view field = line.substr(f * field_width, field_width);
        double value = 0;
        if (!parse_number(field, value))
            throw input_error(line_label(line_index) + ", columns " +
                              std::to_string(f * field_width + 1) + "-" +
                              std::to_string((f + 1) * field_width) + ": '" + std::string(field) +
                              "' is not a number");
        values.push_back(value);
    }
}

// Fixed-point text with `decimals` decimals, never "-0.000": a rounded-away sign would only
// make two equal matrices look different.
std::string fixed_text(double value, int decimals) {
    char buffer[512];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (ec != std::errc())
        throw std::logic_error("number too long to print");
    std::string text(buffer, end);
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

double rms_distance(const Eigen::Matrix3Xd& a, const Eigen::Matrix3Xd& b) {
    double sum = 0;
    for (Eigen::Index i = 0; i < a.cols(); ++i)
        sum += (a.col(i) - b.col(i)).squaredNorm();
    return std::sqrt(sum / static_cast<double>(a.cols()));
}

Eigen::Matrix3Xd centred(const Eigen::Matrix3Xd& atoms) {
    Eigen::Vector3d centroid = atoms.rowwise().sum() / static_cast<double>(atoms.cols());
    return atoms.colwise() - centroid;
}

} // namespace

coordinates parse_coordinates(std::string_view text) {
    std::vector<std::string_view> lines = split_lines(text);
    if (lines.size() < 2)
        throw input_error("no atom count on line 2");
    coordinates result;
    result.title = std::string(lines[0]);
    long count = parse_atom_count(lines[1]);
    if (count < 3)
        throw input_error("line 2: " + std::to_string(count) +
                          " atoms; at least 3 are needed for a fit");

    const std::size_t wanted = static_cast<std::size_t>(count) * 3;
    std::vector<double> values;
    values.reserve(wanted);
    std::size_t index = 2;
    for (; index < lines.size() && values.size() < wanted; ++index) {
        std::size_t expected = std::min(values_per_line, wanted - values.size());
        read_value_line(lines[index], index, expected, values);
    }
    if (values.size() < wanted)
        throw input_error("the file ends after " + std::to_string(values.size()) + " of " +
                          std::to_string(wanted) + " values (" + std::to_string(count) + " atoms)");
    for (; index < lines.size(); ++index)
        if (!is_blank(lines[index]))
            throw input_error(line_label(index) + ": more values than the " +
                              std::to_string(count) + " atoms of line 2");

    result.atoms = Eigen::Map<const Eigen::Matrix3Xd>(values.data(), 3, count);
    return result;
}

void check_control_input(std::string_view text) {
    std::vector<std::string_view> lines = split_lines(text);
    bool seen_first = false;
    bool asks_rms = false;
    for (std::string_view line : lines) {
        std::string_view content = trim(line);
        if (content.empty())
            continue;
        if (!seen_first && content.front() != '#')
            throw input_error("the first line is not a '#' comment line");
        seen_first = true;
        if (content == "RMS")
            asks_rms = true;
    }
    if (!seen_first)
        throw input_error("the control input is empty");
    if (!asks_rms)
        throw input_error("no line 'RMS': this control input does not ask for an RMS fit");
}

fit_result fit_onto_reference(const Eigen::Matrix3Xd& reference, const Eigen::Matrix3Xd& current) {
    if (reference.cols() != current.cols())
        throw input_error("the reference has " + std::to_string(reference.cols()) +
                          " atoms, the current structure " + std::to_string(current.cols()));
    if (reference.cols() < 3)
        throw input_error("at least 3 atoms are needed for a fit");

    const Eigen::Matrix3Xd ref = centred(reference);
    const Eigen::Matrix3Xd cur = centred(current);
    // sum over atoms of cur_i * ref_i^T: with H = U S V^T, the trace of M H is largest, and
    // the squared distances smallest, for M = V U^T.
    const Eigen::Matrix3d covariance = cur * ref.transpose();
    Eigen::JacobiSVD<Eigen::Matrix3d> svd(covariance, Eigen::ComputeFullU | Eigen::ComputeFullV);
    const Eigen::Vector3d& singular = svd.singularValues(); // sorted, largest first
    // Written so that a NaN (coordinates too large to square) also counts as degenerate.
    if (!(singular(1) > collinear_ratio * singular(0)))
        throw input_error("the atoms lie on one line: the rotation is undetermined");

    // A mirror image would give V U^T a determinant of -1; turning the direction of the
    // smallest singular value instead gives the best proper rotation.
    Eigen::Matrix3d turn = Eigen::Matrix3d::Identity();
    if ((svd.matrixV() * svd.matrixU().transpose()).determinant() < 0)
        turn(2, 2) = -1;

    fit_result result;
    result.rotation = svd.matrixV() * turn * svd.matrixU().transpose();
    result.atom_count = static_cast<std::size_t>(reference.cols());
    result.rmsd_before = rms_distance(ref, cur);
    result.rmsd_after = rms_distance(ref, result.rotation * cur);
    return result;
}

std::string format_rotation(const Eigen::Matrix3d& rotation) {
    std::string text;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            double value = rotation(row, column);
            std::string number = std::isfinite(value) ? fixed_text(value, rotation_decimals) : "";
            // Readers split fort.55 at blanks or take it by column: a value that would fill its
            // field or push its neighbours along is a fault in the fit, never something to write.
            if (number.empty() || number.size() >= rotation_width)
                throw std::logic_error("rotation entry does not fit a " +
                                       std::to_string(rotation_width) + "-column field");
            text.append(rotation_width - number.size(), ' ');
            text += number;
        }
        text += '\n';
    }
    return text;
}

std::string format_listing(const fit_result& result, const listing_names& names) {
    std::string text = "RMS fit of the current structure onto the reference\n";
    text += "  reference            " + names.reference_file + "\n";
    text += "  current              " + names.current_file + "\n";
    text += "  atoms                " + std::to_string(result.atom_count) + "\n";
    text += "  RMSD before fit (A)  " + fixed_text(result.rmsd_before, 7) + "\n";
    text += "  RMSD after fit (A)   " + fixed_text(result.rmsd_after, 7) + "\n";
    text += "  rotation M, reference = M * current (as in fort.55):\n";
    text += format_rotation(result.rotation);
    return text;
}

} // namespace qm::rmsfit
