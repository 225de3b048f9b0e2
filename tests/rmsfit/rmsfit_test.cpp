// Tests of the RMS fitting program: the fit and the layouts in-process, then the built
// program itself in a private folder, the way the TDM alignment starts it.

#include "rmsfit/rmsfit.h"

#include <Eigen/Geometry>
#include <Eigen/LU>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>
#include <set>
#include <sstream>
#include <sys/wait.h>

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

// The coordinate layout the TDM alignment writes: count in I5, values in F12.7, six a line.
std::string coordinate_text(const Eigen::Matrix3Xd& atoms, long count = -1) {
    char field[32];
    std::snprintf(field, sizeof field, "%5ld",
                  count >= 0 ? count : static_cast<long>(atoms.cols()));
    std::string text = "test structure\n" + std::string(field);
    for (Eigen::Index i = 0; i < atoms.size(); ++i) {
        std::snprintf(field, sizeof field, "%s%12.7f", i % 6 == 0 ? "\n" : "", atoms.data()[i]);
        text += field;
    }
    return text + '\n';
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

// The job applies M to the current structure: M is not its transpose, and the translation
// leaks into neither M nor the RMSD. A square in a plane leaves the third direction's sign to
// the SVD: only the determinant correction gives the right matrix there.
TEST(RmsfitFit, RotatedAndShiftedStructureGivesThatRotation) {
    Eigen::Matrix3Xd square(3, 4);
    square << 1, 0, -1, 0, 0, 1, 0, -1, 0, 0, 0, 0;
    const Eigen::Matrix3Xd m = sample_molecule();
    using turn = std::tuple<Eigen::Vector3d, double, Eigen::Matrix3Xd>;
    for (const auto& [axis, angle, current] :
         {turn{{0, 0, 1}, 0.0, m}, turn{{1, 0, 0}, 0.01, m}, turn{{0.3, -0.5, 0.8}, 1.234, m},
          turn{{1, 2, -1}, std::numbers::pi, m}, turn{{-2, 1, 0.5}, 3.1, m},
          turn{{0, 0, 1}, std::numbers::pi / 2, square}}) {
        SCOPED_TRACE(angle);
        const Eigen::Matrix3d rotation = rotation_about(axis, angle);
        const Eigen::Matrix3Xd reference =
            (rotation * current).colwise() + Eigen::Vector3d(12.5, -40.25, 3.0);

        const rf::fit_result fit = rf::fit_onto_reference(reference, current);

        EXPECT_TRUE(fit.rotation.isApprox(rotation, 1e-9)) << fit.rotation;
        EXPECT_LT(fit.rmsd_after, 1e-9);
        EXPECT_NEAR(fit.rmsd_before, rmsd(centred(reference), centred(current)), 1e-12);
    }
}

// A mirror image has no exact proper fit: the answer is still a rotation, and no small turn
// about any axis improves it (flipping the wrong singular direction would).
TEST(RmsfitFit, MirrorImageGivesBestProperRotation) {
    const Eigen::Matrix3Xd current = sample_molecule();
    const Eigen::Matrix3d mirror = Eigen::Vector3d(1, 1, -1).asDiagonal();
    const Eigen::Matrix3Xd reference =
        (rotation_about({1, 1, 0}, 0.7) * mirror * current).colwise() + Eigen::Vector3d(1, 2, 3);

    const rf::fit_result fit = rf::fit_onto_reference(reference, current);

    EXPECT_NEAR(fit.rotation.determinant(), 1.0, 1e-12);
    const Eigen::Matrix3Xd ref = centred(reference), cur = centred(current);
    EXPECT_NEAR(fit.rmsd_after, rmsd(ref, fit.rotation * cur), 1e-12);
    for (const Eigen::Vector3d axis :
         {Eigen::Vector3d::UnitX(), Eigen::Vector3d::UnitY(), Eigen::Vector3d::UnitZ()})
        for (double step : {-1e-3, 1e-3})
            EXPECT_GE(rmsd(ref, rotation_about(axis, step) * fit.rotation * cur), fit.rmsd_after)
                << "turn " << step << " about " << axis.transpose();
}

// Atoms on a line or one point leave the rotation free. Written with 7 decimals, collinear
// atoms leave the line by the rounding, far above machine precision; a molecule bent by one
// degree is real and must still fit.
TEST(RmsfitFit, RefusesWhatLeavesTheRotationUndeterminedButFitsANearlyLinearMolecule) {
    const Eigen::Matrix3Xd line =
        Eigen::Vector3d(0.3, 0.5, 0.8).normalized() * Eigen::RowVector4d(0.7, 0.82, 0.95, 1.07);
    const Eigen::Matrix3Xd rounded_turned =
        ((rotation_about({1, 0, 0}, 0.4) * line) * 1e7).array().round() / 1e7;
    const Eigen::Matrix3Xd one_point = Eigen::Vector3d(1, 2, 3).replicate(1, 4);
    for (const auto& [reference, current] :
         std::vector<std::pair<Eigen::Matrix3Xd, Eigen::Matrix3Xd>>{
             {line, line},
             {rounded_turned, (line * 1e7).array().round() / 1e7},
             {one_point, one_point}})
        EXPECT_THROW(rf::fit_onto_reference(reference, current), rf::input_error) << reference;

    const double bond = 1.16, bend = std::numbers::pi / 180;
    Eigen::Matrix3Xd bent(3, 3);
    bent << 0, bond, -bond * std::cos(bend), 0, 0, bond * std::sin(bend), 0, 0, 0;
    const Eigen::Matrix3d rotation = rotation_about({0.2, 0.9, -0.4}, 2.0);
    EXPECT_TRUE(rf::fit_onto_reference(rotation * bent, bent).rotation.isApprox(rotation, 1e-9));
}

// fort.55's 12-column fields with 8 decimals: rounding at the edges of [-1, 1], no "-0.00000000"
// for a zero but for the last bit; a value filling its field (a faulty fit) would merge columns.
TEST(RmsfitRotationText, TwelveColumnFieldsOrRefused) {
    std::string fields;
    for (double value : {-1.0, -0.999999996, 0.123456786, -1e-17, -0.0, -10.0, std::nan("")}) {
        Eigen::Matrix3d matrix = Eigen::Matrix3d::Identity();
        matrix(1, 2) = value;
        try {
            fields += rf::format_rotation(matrix).substr(37 + 24, 12) + "|";
        } catch (const std::logic_error&) {
            fields += "refused|";
        }
    }
    EXPECT_EQ(fields,
              " -1.00000000| -1.00000000|  0.12345679|  0.00000000|  0.00000000|refused|refused|");
}

// Fields go by column: a negative number filling its field touches its neighbour. Even and odd
// counts; CR LF, a restart file's time after the count, a missing last LF, blank lines after.
TEST(RmsfitCoordinates, ReadByColumnInEveryForm) {
    const Eigen::Matrix3Xd m = sample_molecule();
    Eigen::Matrix3Xd touching(3, 3);
    touching << -123.456789, 1.5, -0.0000001, -234.5678901, -2.25, 1, 0, 0.125, 2;
    const std::string text = coordinate_text(m), unended = text.substr(0, text.size() - 1);
    for (const auto& [form, atoms] : std::vector<std::pair<std::string, Eigen::Matrix3Xd>>{
             {"\r\n    3\r\n-123.4567890-234.5678901   0.0000000   1.5000000  -2.2500000   "
              "0.1250000\r\n  -0.0000001   1.0000000   2.0000000\r\n",
              touching},
             {coordinate_text(m.leftCols(4)), m.leftCols(4)},
             {text, m},
             {replaced(text, "    7\n", "    7  0.1000000E+01\n"), m},
             {unended + "\n\n", m},
             {unended, m}})
        EXPECT_EQ(rf::parse_coordinates(form).atoms, atoms) << form;
}

// Blank lines may come first.
const std::string control_text = "\n  \n# Run anal to rms fit coords to 1st set\n1 0 0 0 0 1\n"
                                 "0 0 0 0 0\n1 0 0 0 0 1\n9 2.0 1.2 1.0\n0   \nRMS\n"
                                 "0 0.01 0 0 0\nEND\n\nSTOP\n";
const std::string job_args = "-O -i rmsfit.in -o output -p prmtop -c inpcrd -r rmscrd";

// A private folder holding the inputs of one run: the current structure is the reference
// turned a quarter turn back about z and shifted, which decimal text carries exactly, so
// fort.55 is known to the byte.
struct rmsfit_program : testing::Test {
    const fs::path folder =
        fs::temp_directory_path() / ("rmsfit-test-" + std::to_string(std::random_device{}()) +
                                     std::to_string(std::random_device{}()));
    const fs::path work = folder / "work";
    const std::string reference = coordinate_text(sample_molecule());
    const std::string current = coordinate_text(
        (rotation_about({0, 0, 1}, -std::numbers::pi / 2) * sample_molecule()).colwise() +
        Eigen::Vector3d(2, -3, 4));

    rmsfit_program() { fs::create_directories(work); }
    ~rmsfit_program() override {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(work / name, std::ios::binary) << bytes;
    }
    static std::string read(const fs::path& path) {
        std::ostringstream bytes;
        bytes << std::ifstream(path, std::ios::binary).rdbuf();
        return bytes.str();
    }
    std::set<std::string> names() const {
        std::set<std::string> found;
        for (const auto& entry : fs::directory_iterator(work))
            found.insert(entry.path().filename().string());
        return found;
    }
    // The exit status and the error output of the built program, run for at most 30 seconds.
    std::pair<int, std::string> run(const std::string& args) {
        const fs::path errors = folder / "stderr.txt";
        const std::string command = "cd '" + work.string() + "' && timeout 30 '" RMSFIT_PATH "' " +
                                    args + " >/dev/null 2>'" + errors.string() + "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read(errors)};
    }
};

// Each run as the job starts it: fort.55 and the listing renamed whole from temporary files,
// none left behind; or a refusal with its status, a message naming the file and saying what is
// wrong (with its line and columns), and the fort.55 of an earlier structure left as it was.
TEST_F(rmsfit_program, WritesTheRotationAndListingOrRefusesWithoutTouchingFort55) {
    const std::string removed = "(removed)";
    const Eigen::Matrix3Xd m = sample_molecule();
    struct run_case {
        const char* file;    // spoilt before the run ("": none)
        std::string content; // its text, or `removed`
        const char* message;
        int status = 1;
        std::string args = job_args;
    };
    for (const run_case& r : std::vector<run_case>{
             {"", "", "", 0, "-r rmscrd -c inpcrd -o output -O -p prmtop -i rmsfit.in"},
             {"output", "old\n", "", 0}, // replaced, as the job runs once per structure
             {"prmtop", removed, "prmtop: cannot be opened"},
             {"rmsfit.in", removed, "rmsfit.in: cannot be opened"},
             {"rmsfit.in", "", "rmsfit.in: the control input is empty"},
             {"rmsfit.in", replaced(control_text, "RMS\n", "RMSD\n"), "rmsfit.in: no line 'RMS'"},
             {"rmsfit.in", replaced(control_text, "# Run", "Run"), "rmsfit.in: the first line is"},
             {"inpcrd", "", "inpcrd: no atom count on line 2"},
             {"inpcrd", coordinate_text(m, 8), "inpcrd: line 6: 3 values where 6"},
             {"inpcrd", coordinate_text(m, 6), "inpcrd: line 6: more values than the 6 atoms"},
             {"inpcrd", coordinate_text(m.leftCols(2)), "inpcrd: line 2: 2 atoms; at least 3"},
             {"inpcrd", replaced(reference, "    7", "1234567"), "count does not fit columns 1-5"},
             {"inpcrd", replaced(reference, "    7", "     "), "no atom count in columns 1-5"},
             {"inpcrd", replaced(reference, " 3.1415927", " 3.14x5927"), "line 4, columns 37-48"},
             {"inpcrd", replaced(reference, "   3.1415927", "************"), "' is not a number"},
             {"rmscrd", coordinate_text(m.leftCols(6)), "inpcrd, rmscrd: the reference has 7"},
             {"rmscrd", current.substr(0, current.rfind('\n', current.size() - 2)),
              "rmscrd: the file ends after 18 of 21 values"},
             {"output", "keep\n", "output: exists", 1, job_args.substr(3)},
             {"", "", "./inpcrd: is also the input", 1,
              replaced(job_args, "-o output", "-o ./inpcrd")},
             {"", "", "unknown argument '-x'", 2, "-O -x " + job_args.substr(3)},
             {"", "", "option -o needs a file name", 2, replaced(job_args, "-o output", "-o -O")},
             {"", "", "option -r (current coordinates) is missing", 2,
              replaced(job_args, " -r rmscrd", "")}}) {
        SCOPED_TRACE(r.args + " | " + r.file);
        write("rmsfit.in", control_text);
        write("prmtop", "%VERSION\n");
        write("inpcrd", reference);
        write("rmscrd", current);
        fs::remove(work / "output");
        if (r.content == removed)
            fs::remove(work / r.file);
        else if (*r.file != '\0')
            write(r.file, r.content);
        write("fort.55", "stale\n");
        std::set<std::string> expected_names = names();

        const auto [status, errors] = run(r.args);

        EXPECT_EQ(status, r.status);
        EXPECT_NE(errors.find(r.message), std::string::npos) << errors;
        if (r.status != 0) {
            EXPECT_EQ(read(work / "fort.55"), "stale\n");
        } else {
            EXPECT_EQ(read(work / "fort.55"), "  0.00000000 -1.00000000  0.00000000\n"
                                              "  1.00000000  0.00000000  0.00000000\n"
                                              "  0.00000000  0.00000000  1.00000000\n");
            const std::string listing = read(work / "output");
            EXPECT_NE(listing.find("atoms                7\n"), std::string::npos) << listing;
            EXPECT_NE(listing.find("RMSD after fit (A)   0.0000000\n"), std::string::npos);
            expected_names.insert("output");
        }
        EXPECT_EQ(names(), expected_names);
    }
}

} // namespace
