// Tests of the RMS fitting program: the fit and the layouts in-process, then the built
// program itself in a private folder, the way the TDM alignment starts it.

#include "rmsfit/rmsfit.h"

#include <Eigen/Geometry>
#include <Eigen/LU>
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <numbers>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;
namespace rf = qm::rmsfit;

namespace {

// Seven atoms, not in one plane, none on a symmetry element: every rotation is told apart.
Eigen::Matrix3Xd sample_molecule() {
    Eigen::Matrix3Xd atoms(3, 7);
    atoms << 1.2345678, -2.1000000, 0.0000000, 3.1415927, -1.7320508, 0.4142136, -0.9189385,
        -0.5432100, 1.4142136, 2.7182818, 0.5772157, -2.2360680, -1.0986123, 0.1234567, 0.3333333,
        -0.7071068, 1.6180340, -1.2020569, 0.6931472, 2.3025851, -2.4494897;
    return atoms;
}

Eigen::Matrix3d rotation_about(Eigen::Vector3d axis, double angle) {
    return Eigen::AngleAxisd(angle, axis.normalized()).toRotationMatrix();
}

Eigen::Matrix3Xd centred(const Eigen::Matrix3Xd& atoms) {
    return atoms.colwise() - atoms.rowwise().mean();
}

double rmsd(const Eigen::Matrix3Xd& a, const Eigen::Matrix3Xd& b) {
    return std::sqrt((a - b).colwise().squaredNorm().sum() / static_cast<double>(a.cols()));
}

double largest_difference(const Eigen::Matrix3d& a, const Eigen::Matrix3d& b) {
    return (a - b).cwiseAbs().maxCoeff();
}

// The coordinate layout the TDM alignment writes: count in I5, values in F12.7, six a line.
std::string coordinate_text(const Eigen::Matrix3Xd& atoms, long count_on_line_2 = -1) {
    const std::string count =
        std::to_string(count_on_line_2 >= 0 ? count_on_line_2 : static_cast<long>(atoms.cols()));
    std::string text = "test structure\n" + std::string(5 - count.size(), ' ') + count;
    for (Eigen::Index i = 0; i < atoms.size(); ++i) {
        if (i % 6 == 0)
            text += '\n';
        char buffer[64];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, atoms.data()[i],
                                       std::chars_format::fixed, 7)
                             .ptr;
        text.append(12 - static_cast<std::size_t>(end - buffer), ' ').append(buffer, end);
    }
    return text + '\n';
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

// ---------------------------------------------------------------- fit

struct known_rotation {
    const char* name;
    Eigen::Vector3d axis;
    double angle;
};

class RmsfitRecoversRotation : public testing::TestWithParam<known_rotation> {};

// The direction matters: the job applies M to the current structure, so M and its transpose
// must not be confused; the translation must not leak into M or into the RMSD.
TEST_P(RmsfitRecoversRotation, CurrentRotatedAndShiftedGivesThatRotation) {
    const Eigen::Matrix3d rotation = rotation_about(GetParam().axis, GetParam().angle);
    const Eigen::Matrix3Xd current = sample_molecule();
    const Eigen::Matrix3Xd reference =
        (rotation * current).colwise() + Eigen::Vector3d(12.5, -40.25, 3.0);

    const rf::fit_result fit = rf::fit_onto_reference(reference, current);

    EXPECT_LT(largest_difference(fit.rotation, rotation), 1e-9) << fit.rotation;
    EXPECT_NEAR(fit.rotation.determinant(), 1.0, 1e-12);
    EXPECT_LT(fit.rmsd_after, 1e-9);
    EXPECT_NEAR(fit.rmsd_before, rmsd(centred(reference), centred(current)), 1e-12);
    EXPECT_EQ(fit.atom_count, 7u);
}

INSTANTIATE_TEST_SUITE_P(Rotations, RmsfitRecoversRotation,
                         testing::Values(known_rotation{"identity", {0, 0, 1}, 0.0},
                                         known_rotation{"small_about_x", {1, 0, 0}, 0.01},
                                         known_rotation{"general", {0.3, -0.5, 0.8}, 1.234},
                                         known_rotation{"half_turn", {1, 2, -1}, std::numbers::pi},
                                         known_rotation{"nearly_half_turn", {-2, 1, 0.5}, 3.1}),
                         [](const auto& info) { return std::string(info.param.name); });

// A square in a plane: the covariance has rank 2 and the third direction's sign is arbitrary,
// so only the determinant correction yields the right matrix. Each atom moves by sqrt(2)
// under the quarter turn, which the RMSD before the fit must show, without the translation.
TEST(RmsfitFit, PlanarQuarterTurnAndCentroidOnlyRmsdBefore) {
    Eigen::Matrix3Xd square(3, 4);
    square << 1, 0, -1, 0, 0, 1, 0, -1, 0, 0, 0, 0;
    const Eigen::Matrix3d quarter = rotation_about({0, 0, 1}, std::numbers::pi / 2);
    const Eigen::Matrix3Xd current = square.colwise() + Eigen::Vector3d(5, 5, 5);
    const Eigen::Matrix3Xd reference = (quarter * square).colwise() + Eigen::Vector3d(-3, 2, 7);

    const rf::fit_result fit = rf::fit_onto_reference(reference, current);

    EXPECT_LT(largest_difference(fit.rotation, quarter), 1e-12) << fit.rotation;
    EXPECT_NEAR(fit.rmsd_before, std::sqrt(2.0), 1e-12);
    EXPECT_LT(fit.rmsd_after, 1e-12);
}

// A mirror image has no exact proper fit. The answer must still be a rotation, and the best
// one: turning it a little about any axis may not bring the structures closer. Flipping the
// wrong singular direction also gives determinant +1, but fails the second check.
TEST(RmsfitFit, MirrorImageGivesBestProperRotation) {
    const Eigen::Matrix3Xd current = sample_molecule();
    const Eigen::Matrix3d mirror = Eigen::Vector3d(1, 1, -1).asDiagonal();
    const Eigen::Matrix3Xd reference =
        (rotation_about({1, 1, 0}, 0.7) * mirror * current).colwise() + Eigen::Vector3d(1, 2, 3);

    const rf::fit_result fit = rf::fit_onto_reference(reference, current);

    EXPECT_NEAR(fit.rotation.determinant(), 1.0, 1e-12);
    EXPECT_LT(
        largest_difference(fit.rotation.transpose() * fit.rotation, Eigen::Matrix3d::Identity()),
        1e-12);
    EXPECT_GT(fit.rmsd_after, 0.1);
    const Eigen::Matrix3Xd ref = centred(reference), cur = centred(current);
    EXPECT_NEAR(fit.rmsd_after, rmsd(ref, fit.rotation * cur), 1e-12);
    for (const Eigen::Vector3d axis :
         {Eigen::Vector3d::UnitX(), Eigen::Vector3d::UnitY(), Eigen::Vector3d::UnitZ()})
        for (double step : {-1e-3, 1e-3})
            EXPECT_GE(rmsd(ref, rotation_about(axis, step) * fit.rotation * cur), fit.rmsd_after)
                << "turn " << step << " about " << axis.transpose();
}

// Atoms on a line leave the turn about that line free; so do atoms on one point. Written
// with 7 decimals, collinear atoms leave the line by the rounding, which on a short line is
// far above what a machine-precision rank test would catch. A nearly linear molecule (bent by
// one degree) is a real structure and must still fit.
TEST(RmsfitFit, RefusesWhatLeavesTheRotationUndeterminedButFitsANearlyLinearMolecule) {
    const Eigen::Vector3d direction = Eigen::Vector3d(0.3, 0.5, 0.8).normalized();
    Eigen::Matrix3Xd line(3, 4);
    for (int i = 0; i < 4; ++i)
        line.col(i) = direction * (0.1234567891 * i + 0.7);
    const Eigen::Matrix3Xd rounded_line = (line * 1e7).array().round() / 1e7;
    const Eigen::Matrix3Xd rounded_turned =
        ((rotation_about({1, 0, 0}, 0.4) * line) * 1e7).array().round() / 1e7;
    const Eigen::Matrix3Xd one_point = Eigen::Vector3d(1, 2, 3).replicate(1, 4);
    const Eigen::Matrix3Xd molecule = sample_molecule();

    EXPECT_THROW(rf::fit_onto_reference(line, line), rf::input_error);
    EXPECT_THROW(rf::fit_onto_reference(rounded_turned, rounded_line), rf::input_error);
    EXPECT_THROW(rf::fit_onto_reference(one_point, one_point), rf::input_error);
    EXPECT_THROW(rf::fit_onto_reference(molecule.leftCols(5), line), rf::input_error);
    EXPECT_THROW(rf::fit_onto_reference(molecule, molecule.leftCols(6)), rf::input_error);
    EXPECT_THROW(rf::fit_onto_reference(molecule.leftCols(2), molecule.leftCols(2)),
                 rf::input_error);

    const double bond = 1.16, bend = std::numbers::pi / 180;
    Eigen::Matrix3Xd bent(3, 3);
    bent << 0, bond, -bond * std::cos(bend), 0, 0, bond * std::sin(bend), 0, 0, 0;
    const Eigen::Matrix3d rotation = rotation_about({0.2, 0.9, -0.4}, 2.0);
    EXPECT_LT(largest_difference(rf::fit_onto_reference(rotation * bent, bent).rotation, rotation),
              1e-9);
}

// ---------------------------------------------------------------- fort.55 layout

// Three lines of three 12-column fields with 8 decimals: rounding at the edges of [-1, 1], and
// no "-0.00000000" for a value that is zero but for the last bit of the fit. A value that would
// fill its field is a fault of the fit; writing it would merge columns.
TEST(RmsfitRotationText, TwelveColumnFieldsOrRefused) {
    EXPECT_EQ(rf::format_rotation(Eigen::Matrix3d::Identity()),
              "  1.00000000  0.00000000  0.00000000\n"
              "  0.00000000  1.00000000  0.00000000\n"
              "  0.00000000  0.00000000  1.00000000\n");
    for (const auto& [value, field] : std::vector<std::pair<double, const char*>>{
             {-1.0, " -1.00000000"},
             {-0.999999996, " -1.00000000"},
             {1.0 + 4e-16, "  1.00000000"},
             {-0.12345678, " -0.12345678"},
             {0.123456786, "  0.12345679"},
             {-1e-17, "  0.00000000"},
             {-0.0, "  0.00000000"},
             {-10.0, nullptr},
             {100.0, nullptr},
             {std::nan(""), nullptr},
             {std::numeric_limits<double>::infinity(), nullptr}}) {
        Eigen::Matrix3d matrix = Eigen::Matrix3d::Identity();
        matrix(1, 2) = value;
        if (field == nullptr)
            EXPECT_THROW(rf::format_rotation(matrix), std::logic_error) << value;
        else
            EXPECT_EQ(rf::format_rotation(matrix).substr(37 + 24, 12), field) << value;
    }
}

// ---------------------------------------------------------------- coordinate files

TEST(RmsfitCoordinates, EvenAndOddAtomCountsByColumn) {
    const auto four = rf::parse_coordinates("title line\n    4\n"
                                            "   1.0000000   2.0000000   3.0000000"
                                            "   4.0000000   5.0000000   6.0000000\n"
                                            "   7.0000000   8.0000000   9.0000000"
                                            "  10.0000000  11.0000000  12.0000000\n");
    EXPECT_EQ(four.title, "title line");
    ASSERT_EQ(four.atoms.cols(), 4);
    EXPECT_EQ(four.atoms.col(1), Eigen::Vector3d(4, 5, 6));
    EXPECT_EQ(four.atoms.col(3), Eigen::Vector3d(10, 11, 12));

    // A negative number that fills its field touches its left neighbour: fields go by column.
    const auto three = rf::parse_coordinates("\n    3\n"
                                             "-123.4567890-234.5678901   0.0000000"
                                             "   1.5000000  -2.2500000   0.1250000\n"
                                             "  -0.0000001   1.0000000   2.0000000\n");
    EXPECT_EQ(three.title, "");
    ASSERT_EQ(three.atoms.cols(), 3);
    EXPECT_EQ(three.atoms.col(0), Eigen::Vector3d(-123.4567890, -234.5678901, 0));
    EXPECT_EQ(three.atoms.col(1), Eigen::Vector3d(1.5, -2.25, 0.125));
    EXPECT_EQ(three.atoms.col(2), Eigen::Vector3d(-0.0000001, 1, 2));
}

TEST(RmsfitCoordinates, AcceptsRestartTimeCrLfAndUnpaddedEnd) {
    const Eigen::Matrix3Xd molecule = sample_molecule();
    const std::string text = coordinate_text(molecule);
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::string unended = text.substr(0, text.size() - 1);
    for (const std::string& form : {text, replaced(text, "    7\n", "    7  0.1000000E+01\n"), crlf,
                                    unended + "\n\n", unended})
        EXPECT_EQ(rf::parse_coordinates(form).atoms, molecule) << form;
}

TEST(RmsfitCoordinates, BadFilesAreRefusedWithAReason) {
    const Eigen::Matrix3Xd m = sample_molecule();
    const std::string good = coordinate_text(m);
    for (const auto& [text, reason] : std::vector<std::pair<std::string, const char*>>{
             {"", "line 2"},
             {coordinate_text(m, 8), "line 6: 3 values where 6"},
             {coordinate_text(m.leftCols(6), 7), "ends after 18 of 21 values"},
             {coordinate_text(m, 6), "line 6: more values than the 6 atoms"},
             {coordinate_text(m.leftCols(2)), "at least 3"},
             {replaced(good, "    7", "1234567"), "columns 1-5"},
             {replaced(good, "    7", "     "), "no atom count"},
             {replaced(good, "   3.1415927", "   3.14x5927"), "line 4, columns 37-48"},
             {replaced(good, "   3.1415927", "************"), "not a number"}}) {
        try {
            rf::parse_coordinates(text);
            ADD_FAILURE() << "accepted, expected: " << reason;
        } catch (const rf::input_error& e) {
            EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
        }
    }
}

const std::string control_text = "# Run anal to rms fit coords to 1st set\n1 0 0 0 0 1\n"
                                 "0 0 0 0 0\n1 0 0 0 0 1\n9 2.0 1.2 1.0\n0   \nRMS\n"
                                 "0 0.01 0 0 0\nEND\n\nSTOP\n";

TEST(RmsfitControlInput, TheTextTheJobWritesIsAcceptedOthersAreNot) {
    EXPECT_NO_THROW(rf::check_control_input(control_text));
    EXPECT_NO_THROW(rf::check_control_input("\n  \n" + control_text));
    for (const std::string& bad : {std::string(), replaced(control_text, "RMS\n", "RMSD\n"),
                                   replaced(control_text, "# Run", "Run")})
        EXPECT_THROW(rf::check_control_input(bad), rf::input_error) << bad;
}

// ---------------------------------------------------------------- the program

// A private folder holding the inputs of one run: the current structure is the reference
// turned a quarter turn back about z and shifted, which decimal text carries exactly, so
// fort.55 is known to the byte.
struct rmsfit_program : testing::Test {
    const fs::path folder =
        fs::temp_directory_path() / ("rmsfit-test-" + std::to_string(std::random_device{}()) +
                                     std::to_string(std::random_device{}()));
    const fs::path work = folder / "work";

    rmsfit_program() {
        fs::create_directories(work);
        const Eigen::Matrix3Xd reference = sample_molecule();
        const Eigen::Matrix3Xd current =
            (rotation_about({0, 0, 1}, -std::numbers::pi / 2) * reference).colwise() +
            Eigen::Vector3d(2, -3, 4);
        write("rmsfit.in", control_text);
        write("prmtop", "%VERSION\n");
        write("inpcrd", coordinate_text(reference));
        write("rmscrd", coordinate_text(((current * 1e7).array().round() / 1e7).matrix()));
    }
    ~rmsfit_program() override {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(work / name, std::ios::binary) << bytes;
    }
    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::set<std::string> names() const {
        std::set<std::string> found;
        for (const auto& entry : fs::directory_iterator(work))
            found.insert(entry.path().filename().string());
        return found;
    }

    // Runs the built program in the work folder, for at most 30 seconds; returns its exit
    // status and what it wrote on its error output. (The TDM alignment's own tests start it
    // with an argument vector, as the job does.)
    std::pair<int, std::string> run(const std::string& args) {
        const fs::path errors = folder / "stderr.txt";
        const std::string command = "cd '" + work.string() + "' && timeout 30 '" RMSFIT_PATH "' " +
                                    args + " >/dev/null 2>'" + errors.string() + "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read(errors)};
    }
};

const std::string job_args = "-O -i rmsfit.in -o output -p prmtop -c inpcrd -r rmscrd";

TEST_F(rmsfit_program, WritesTheRotationAndListing) {
    // The order of the options is free.
    auto [status, errors] = run("-r rmscrd -c inpcrd -o output -O -p prmtop -i rmsfit.in");

    EXPECT_EQ(status, 0) << errors;
    EXPECT_EQ(read(work / "fort.55"), "  0.00000000 -1.00000000  0.00000000\n"
                                      "  1.00000000  0.00000000  0.00000000\n"
                                      "  0.00000000  0.00000000  1.00000000\n");
    const std::string listing = read(work / "output");
    EXPECT_NE(listing.find("atoms                7\n"), std::string::npos) << listing;
    EXPECT_NE(listing.find("RMSD after fit (A)   0.0000000\n"), std::string::npos) << listing;
    // The temporary files were renamed, none is left behind.
    EXPECT_EQ(names(), (std::set<std::string>{"rmsfit.in", "prmtop", "inpcrd", "rmscrd", "output",
                                              "fort.55"}));

    // A second run replaces both outputs in place, as the job runs it once per structure.
    write("fort.55", "old\n");
    std::tie(status, errors) = run(job_args);
    EXPECT_EQ(status, 0) << errors;
    EXPECT_EQ(read(work / "fort.55").substr(0, 13), "  0.00000000 ");
}

// Every refusal: the stated status, a message naming the file, and the fort.55 the job may
// still hold from an earlier structure left exactly as it was.
TEST_F(rmsfit_program, RefusesWithoutTouchingFort55) {
    const std::string current = read(work / "rmscrd");
    struct refusal {
        const char* file;                   // spoilt before the run ("": none)
        std::optional<std::string> content; // its new text; none: the file is removed
        std::string args;
        int status;
        const char* message;
    };
    for (const refusal& r : std::vector<refusal>{
             {"prmtop", std::nullopt, job_args, 1, "prmtop: cannot be opened"},
             {"rmsfit.in", std::nullopt, job_args, 1, "rmsfit.in: cannot be opened"},
             {"rmsfit.in", replaced(control_text, "RMS\n", ""), job_args, 1,
              "rmsfit.in: no line 'RMS'"},
             {"rmscrd", coordinate_text(sample_molecule().leftCols(6)), job_args, 1,
              "inpcrd, rmscrd: the reference has 7 atoms"},
             {"rmscrd", current.substr(0, current.rfind('\n', current.size() - 2)), job_args, 1,
              "rmscrd: the file ends after 18 of 21 values"},
             {"output", "keep\n", job_args.substr(3), 1, "output: exists"},
             {"", "", replaced(job_args, "-o output", "-o ./inpcrd"), 1,
              "./inpcrd: is also the input"},
             {"", "", "-O -x " + job_args.substr(3), 2, "unknown argument '-x'"},
             {"", "", replaced(job_args, "-o output", "-o -O"), 2, "option -o needs a file name"},
             {"", "", replaced(job_args, " -r rmscrd", ""), 2,
              "option -r (current coordinates) is missing"}}) {
        SCOPED_TRACE(r.message);
        write("rmsfit.in", control_text);
        write("prmtop", "%VERSION\n");
        write("rmscrd", current);
        fs::remove(work / "output");
        if (!r.content)
            fs::remove(work / r.file);
        else if (*r.file != '\0')
            write(r.file, *r.content);
        write("fort.55", "stale\n");
        const std::set<std::string> before = names();

        const auto [status, errors] = run(r.args);

        EXPECT_EQ(status, r.status);
        EXPECT_NE(errors.find(r.message), std::string::npos) << errors;
        EXPECT_EQ(read(work / "fort.55"), "stale\n");
        EXPECT_EQ(names(), before);
    }
}

} // namespace
