// Tests of the RMS fitting program: the fit and the layouts in-process, then the built
// program itself in a private folder, the way the TDM alignment starts it.

#include "rmsfit/rmsfit.h"

#include <Eigen/Geometry>
#include <Eigen/LU>
#include <gtest/gtest.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <numbers>
#include <random>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using qm::rmsfit::input_error;

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

double rmsd_after_centring(const Eigen::Matrix3Xd& a, const Eigen::Matrix3Xd& b) {
    Eigen::Matrix3Xd ca = a.colwise() - a.rowwise().mean();
    Eigen::Matrix3Xd cb = b.colwise() - b.rowwise().mean();
    return std::sqrt((ca - cb).colwise().squaredNorm().sum() / static_cast<double>(a.cols()));
}

// The coordinate layout the TDM alignment writes: count in I5, values in F12.7, six a line.
std::string coordinate_text(const Eigen::Matrix3Xd& atoms, long count_on_line_2 = -1) {
    long count = count_on_line_2 >= 0 ? count_on_line_2 : static_cast<long>(atoms.cols());
    std::string count_text = std::to_string(count);
    std::string text = "test structure\n" + std::string(5 - count_text.size(), ' ') + count_text;
    for (Eigen::Index i = 0; i < atoms.size(); ++i) {
        if (i % 6 == 0)
            text += '\n';
        char buffer[64];
        auto end = std::to_chars(buffer, buffer + sizeof buffer, atoms.data()[i],
                                 std::chars_format::fixed, 7)
                       .ptr;
        text.append(12 - static_cast<std::size_t>(end - buffer), ' ');
        text.append(buffer, end);
    }
    return text + '\n';
}

void expect_matrix_near(const Eigen::Matrix3d& actual, const Eigen::Matrix3d& expected,
                        double tolerance) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(actual(r, c), expected(r, c), tolerance) << "entry " << r << "," << c;
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

    const qm::rmsfit::fit_result fit = qm::rmsfit::fit_onto_reference(reference, current);

    expect_matrix_near(fit.rotation, rotation, 1e-9);
    EXPECT_NEAR(fit.rotation.determinant(), 1.0, 1e-12);
    EXPECT_LT(fit.rmsd_after, 1e-9);
    EXPECT_NEAR(fit.rmsd_before, rmsd_after_centring(reference, current), 1e-12);
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

    const qm::rmsfit::fit_result fit = qm::rmsfit::fit_onto_reference(reference, current);

    expect_matrix_near(fit.rotation, quarter, 1e-12);
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

    const qm::rmsfit::fit_result fit = qm::rmsfit::fit_onto_reference(reference, current);

    EXPECT_NEAR(fit.rotation.determinant(), 1.0, 1e-12);
    expect_matrix_near(fit.rotation.transpose() * fit.rotation, Eigen::Matrix3d::Identity(), 1e-12);
    EXPECT_GT(fit.rmsd_after, 0.1);
    const Eigen::Matrix3Xd ref = reference.colwise() - reference.rowwise().mean();
    const Eigen::Matrix3Xd cur = current.colwise() - current.rowwise().mean();
    for (const Eigen::Vector3d axis :
         {Eigen::Vector3d::UnitX(), Eigen::Vector3d::UnitY(), Eigen::Vector3d::UnitZ()}) {
        for (double step : {-1e-3, 1e-3}) {
            const Eigen::Matrix3d turned = rotation_about(axis, step) * fit.rotation;
            const double rmsd =
                std::sqrt((ref - turned * cur).colwise().squaredNorm().sum() / cur.cols());
            EXPECT_GE(rmsd, fit.rmsd_after) << "turn " << step << " about " << axis.transpose();
        }
    }
    EXPECT_NEAR(fit.rmsd_after,
                std::sqrt((ref - fit.rotation * cur).colwise().squaredNorm().sum() / cur.cols()),
                1e-12);
}

// Atoms on a line leave the turn about that line free; so do atoms on one point. Written
// with 7 decimals, collinear atoms leave the line by the rounding, which on a short line is
// far above what a machine-precision rank test would catch.
TEST(RmsfitFit, RefusesWhatLeavesTheRotationUndetermined) {
    const Eigen::Vector3d direction = Eigen::Vector3d(0.3, 0.5, 0.8).normalized();
    Eigen::Matrix3Xd line(3, 4);
    for (int i = 0; i < 4; ++i)
        line.col(i) = direction * (0.1234567891 * i + 0.7);
    Eigen::Matrix3Xd rounded_line = (line * 1e7).array().round() / 1e7;
    Eigen::Matrix3Xd rounded_turned =
        ((rotation_about({1, 0, 0}, 0.4) * line) * 1e7).array().round() / 1e7;
    Eigen::Matrix3Xd one_point = Eigen::Vector3d(1, 2, 3).replicate(1, 4);
    Eigen::Matrix3Xd molecule = sample_molecule();

    EXPECT_THROW(qm::rmsfit::fit_onto_reference(line, line), input_error);
    EXPECT_THROW(qm::rmsfit::fit_onto_reference(rounded_turned, rounded_line), input_error);
    EXPECT_THROW(qm::rmsfit::fit_onto_reference(one_point, one_point), input_error);
    EXPECT_THROW(qm::rmsfit::fit_onto_reference(molecule.leftCols(5), line), input_error);
    EXPECT_THROW(qm::rmsfit::fit_onto_reference(molecule, molecule.leftCols(6)), input_error);
    EXPECT_THROW(qm::rmsfit::fit_onto_reference(molecule.leftCols(2), molecule.leftCols(2)),
                 input_error);
}

// A nearly linear molecule (bent by one degree) is a real structure and must still fit.
TEST(RmsfitFit, NearlyLinearMoleculeStillFits) {
    const double bond = 1.16;
    const double bend = std::numbers::pi / 180;
    Eigen::Matrix3Xd current(3, 3);
    current << 0, bond, -bond * std::cos(bend), 0, 0, bond * std::sin(bend), 0, 0, 0;
    const Eigen::Matrix3d rotation = rotation_about({0.2, 0.9, -0.4}, 2.0);

    const qm::rmsfit::fit_result fit = qm::rmsfit::fit_onto_reference(rotation * current, current);

    expect_matrix_near(fit.rotation, rotation, 1e-9);
}

// ---------------------------------------------------------------- fort.55 layout

TEST(RmsfitRotationText, ThreeLinesOfThreeTwelveColumnFields) {
    EXPECT_EQ(qm::rmsfit::format_rotation(Eigen::Matrix3d::Identity()),
              "  1.00000000  0.00000000  0.00000000\n"
              "  0.00000000  1.00000000  0.00000000\n"
              "  0.00000000  0.00000000  1.00000000\n");
    Eigen::Matrix3d general = rotation_about({0.3, -0.5, 0.8}, 1.234);
    std::string text = qm::rmsfit::format_rotation(general);
    ASSERT_EQ(text.size(), 3u * 37u);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(text[row * 37 + 36], '\n');
        for (int column = 0; column < 3; ++column) {
            std::string field = text.substr(row * 37 + column * 12, 12);
            EXPECT_EQ(field[0], ' ') << field;
            EXPECT_NEAR(std::stod(field), general(row, column), 5e-9) << field;
        }
    }
}

struct field_case {
    double value;
    const char* field;
};

class RmsfitRotationField : public testing::TestWithParam<field_case> {};

// Rounding at the edges of [-1, 1], and no "-0.00000000" for a value that is zero but for
// the last bit of the fit.
TEST_P(RmsfitRotationField, ValueIsWrittenRightJustified) {
    Eigen::Matrix3d matrix = Eigen::Matrix3d::Identity();
    matrix(1, 2) = GetParam().value;
    std::string text = qm::rmsfit::format_rotation(matrix);
    EXPECT_EQ(text.substr(37 + 24, 12), GetParam().field);
}

INSTANTIATE_TEST_SUITE_P(Values, RmsfitRotationField,
                         testing::Values(field_case{-1.0, " -1.00000000"},
                                         field_case{-0.999999996, " -1.00000000"},
                                         field_case{1.0 + 4e-16, "  1.00000000"},
                                         field_case{-0.12345678, " -0.12345678"},
                                         field_case{0.123456786, "  0.12345679"},
                                         field_case{-1e-17, "  0.00000000"},
                                         field_case{-0.0, "  0.00000000"}));

// A value that would fill its field is a fault of the fit; writing it would merge columns.
TEST(RmsfitRotationText, RefusesValuesThatDoNotFitTheirField) {
    for (double bad : {-10.0, 100.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        Eigen::Matrix3d matrix = Eigen::Matrix3d::Identity();
        matrix(2, 0) = bad;
        EXPECT_THROW(qm::rmsfit::format_rotation(matrix), std::logic_error) << bad;
    }
}

// ---------------------------------------------------------------- coordinate files

TEST(RmsfitCoordinates, EvenAndOddAtomCounts) {
    const auto four = qm::rmsfit::parse_coordinates("title line\n"
                                                    "    4\n"
                                                    "   1.0000000   2.0000000   3.0000000"
                                                    "   4.0000000   5.0000000   6.0000000\n"
                                                    "   7.0000000   8.0000000   9.0000000"
                                                    "  10.0000000  11.0000000  12.0000000\n");
    EXPECT_EQ(four.title, "title line");
    ASSERT_EQ(four.atoms.cols(), 4);
    EXPECT_EQ(four.atoms.col(1), Eigen::Vector3d(4, 5, 6));
    EXPECT_EQ(four.atoms.col(3), Eigen::Vector3d(10, 11, 12));

    // A negative number that fills its field touches its left neighbour: fields go by column.
    const auto three = qm::rmsfit::parse_coordinates("\n"
                                                     "    3\n"
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
    std::string text = coordinate_text(molecule);
    EXPECT_EQ(qm::rmsfit::parse_coordinates(text).atoms, molecule);

    std::string restart = text;
    restart.replace(restart.find("    7\n"), 6, "    7  0.1000000E+01\n");
    EXPECT_EQ(qm::rmsfit::parse_coordinates(restart).atoms, molecule);

    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(qm::rmsfit::parse_coordinates(crlf).atoms, molecule);

    text.pop_back();
    EXPECT_EQ(qm::rmsfit::parse_coordinates(text + "\n\n").atoms, molecule);
    EXPECT_EQ(qm::rmsfit::parse_coordinates(text).atoms, molecule);
}

struct bad_file {
    const char* name;
    std::function<std::string()> text;
    const char* message_part;
};

class RmsfitBadCoordinates : public testing::TestWithParam<bad_file> {};

TEST_P(RmsfitBadCoordinates, IsRefusedWithAReason) {
    try {
        qm::rmsfit::parse_coordinates(GetParam().text());
        FAIL() << "accepted";
    } catch (const input_error& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().message_part), std::string::npos)
            << e.what();
    }
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Files, RmsfitBadCoordinates,
    testing::Values(
        bad_file{"empty", [] { return std::string(); }, "line 2"},
        bad_file{"count_says_more", [] { return coordinate_text(sample_molecule(), 8); },
                 "line 6: 3 values where 6"},
        bad_file{"file_ends_early",
                 [] { return coordinate_text(sample_molecule().leftCols(6), 7); },
                 "ends after 18 of 21 values"},
        bad_file{"count_says_fewer", [] { return coordinate_text(sample_molecule(), 6); },
                 "line 6: more values than the 6 atoms"},
        bad_file{"extra_line", [] { return coordinate_text(sample_molecule()) + "   1.0000000\n"; },
                 "line 7: more values"},
        bad_file{"two_atoms", [] { return coordinate_text(sample_molecule().leftCols(2)); },
                 "at least 3"},
        bad_file{"count_too_wide",
                 [] { return replaced(coordinate_text(sample_molecule()), "    7", "1234567"); },
                 "columns 1-5"},
        bad_file{"no_count",
                 [] { return replaced(coordinate_text(sample_molecule()), "    7", "     "); },
                 "no atom count"},
        bad_file{"field_not_a_number",
                 [] {
                     return replaced(coordinate_text(sample_molecule()), "   3.1415927",
                                     "   3.14x5927");
                 },
                 "line 4, columns 37-48"},
        bad_file{"overflow_stars",
                 [] {
                     return replaced(coordinate_text(sample_molecule()), "   3.1415927",
                                     "************");
                 },
                 "not a number"},
        bad_file{"blank_field",
                 [] {
                     return replaced(coordinate_text(sample_molecule()), "   3.1415927",
                                     "            ");
                 },
                 "not a number"},
        bad_file{"short_line_in_the_middle",
                 [] {
                     return replaced(coordinate_text(sample_molecule()), "   1.6180340   3.1415927",
                                     "   1.6180340\n   3.1415927");
                 },
                 "line 4: 3 values where 6"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RmsfitControlInput, TheTextTheJobWritesIsAcceptedOthersAreNot) {
    const std::string job_text = "# Run anal to rms fit coords to 1st set\n1 0 0 0 0 1\n"
                                 "0 0 0 0 0\n1 0 0 0 0 1\n9 2.0 1.2 1.0\n0   \nRMS\n"
                                 "0 0.01 0 0 0\nEND\n\nSTOP\n";
    EXPECT_NO_THROW(qm::rmsfit::check_control_input(job_text));
    EXPECT_NO_THROW(qm::rmsfit::check_control_input("\n  \n" + job_text));
    EXPECT_THROW(qm::rmsfit::check_control_input(""), input_error);
    EXPECT_THROW(qm::rmsfit::check_control_input(replaced(job_text, "RMS\n", "RMSD\n")),
                 input_error);
    EXPECT_THROW(qm::rmsfit::check_control_input(replaced(job_text, "# Run", "Run")), input_error);
}

// ---------------------------------------------------------------- the program

class temp_folder {
public:
    temp_folder() {
        std::random_device rd;
        path_ = fs::temp_directory_path() /
                ("rmsfit-test-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(path_ / "work");
    }
    ~temp_folder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    temp_folder(const temp_folder&) = delete;
    temp_folder& operator=(const temp_folder&) = delete;
    fs::path work() const { return path_ / "work"; }
    fs::path stderr_file() const { return path_ / "stderr.txt"; }

private:
    fs::path path_;
};

void write_file(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> names_in(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

struct run_result {
    int status = -1;
    std::string error_text;
};

// Starts the built program with an argument vector in `folder`, the way the job does, and
// waits at most 30 seconds for it.
run_result run_rmsfit(const temp_folder& temp, const std::vector<std::string>& args) {
    std::vector<std::string> argv_text{RMSFIT_PATH};
    argv_text.insert(argv_text.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : argv_text)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, temp.work().c_str());
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, temp.stderr_file().c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    run_result result;
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << RMSFIT_PATH;
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int wait_status = 0;
    while (waitpid(pid, &wait_status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &wait_status, 0);
            ADD_FAILURE() << "rmsfit did not finish within 30 s";
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
    result.error_text = read_file(temp.stderr_file());
    return result;
}

const std::string control_text = "# Run anal to rms fit coords to 1st set\n1 0 0 0 0 1\n"
                                 "0 0 0 0 0\n1 0 0 0 0 1\n9 2.0 1.2 1.0\n0   \nRMS\n"
                                 "0 0.01 0 0 0\nEND\n\nSTOP\n";

const std::vector<std::string> job_args{"-O",     "-i", "rmsfit.in", "-o", "output", "-p",
                                        "prmtop", "-c", "inpcrd",    "-r", "rmscrd"};

// The inputs of one run: the current structure is the reference turned a quarter turn back
// about z and shifted, which decimal text carries exactly, so fort.55 is known to the byte.
void write_job_inputs(const fs::path& work) {
    const Eigen::Matrix3Xd reference = sample_molecule();
    const Eigen::Matrix3Xd current =
        (rotation_about({0, 0, 1}, -std::numbers::pi / 2) * reference).colwise() +
        Eigen::Vector3d(2, -3, 4);
    write_file(work / "rmsfit.in", control_text);
    write_file(work / "prmtop", "%VERSION\n");
    write_file(work / "inpcrd", coordinate_text(reference));
    write_file(work / "rmscrd", coordinate_text(((current * 1e7).array().round() / 1e7).matrix()));
}

TEST(RmsfitProgram, WritesTheRotationAndListing) {
    temp_folder temp;
    write_job_inputs(temp.work());

    // The order of the options is free.
    run_result run = run_rmsfit(temp, {"-r", "rmscrd", "-c", "inpcrd", "-o", "output", "-O", "-p",
                                       "prmtop", "-i", "rmsfit.in"});

    EXPECT_EQ(run.status, 0) << run.error_text;
    EXPECT_EQ(read_file(temp.work() / "fort.55"), "  0.00000000 -1.00000000  0.00000000\n"
                                                  "  1.00000000  0.00000000  0.00000000\n"
                                                  "  0.00000000  0.00000000  1.00000000\n");
    std::string listing = read_file(temp.work() / "output");
    EXPECT_NE(listing.find("atoms                7\n"), std::string::npos) << listing;
    EXPECT_NE(listing.find("RMSD after fit (A)   0.0000000\n"), std::string::npos) << listing;
    // The temporary files were renamed, none is left behind.
    EXPECT_EQ(names_in(temp.work()), (std::set<std::string>{"rmsfit.in", "prmtop", "inpcrd",
                                                            "rmscrd", "output", "fort.55"}));

    // A second run replaces both outputs in place, as the job runs it once per structure.
    write_file(temp.work() / "fort.55", "old\n");
    run = run_rmsfit(temp, job_args);
    EXPECT_EQ(run.status, 0) << run.error_text;
    EXPECT_EQ(read_file(temp.work() / "fort.55").substr(0, 13), "  0.00000000 ");
}

struct failed_run {
    const char* name;
    std::function<void(const fs::path&)> spoil;
    std::vector<std::string> args;
    int status;
    const char* message_part;
};

class RmsfitProgramRefuses : public testing::TestWithParam<failed_run> {};

// Every refusal: the stated status, a message naming the file, and the fort.55 the job may
// still hold from an earlier structure left exactly as it was.
TEST_P(RmsfitProgramRefuses, WithoutTouchingFort55) {
    temp_folder temp;
    write_job_inputs(temp.work());
    GetParam().spoil(temp.work());
    write_file(temp.work() / "fort.55", "stale\n");
    const std::set<std::string> before = names_in(temp.work());

    run_result run = run_rmsfit(temp, GetParam().args);

    EXPECT_EQ(run.status, GetParam().status);
    EXPECT_NE(run.error_text.find(GetParam().message_part), std::string::npos) << run.error_text;
    EXPECT_EQ(read_file(temp.work() / "fort.55"), "stale\n");
    EXPECT_EQ(names_in(temp.work()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, RmsfitProgramRefuses,
    testing::Values(
        failed_run{"missing_topology", [](const fs::path& w) { fs::remove(w / "prmtop"); },
                   job_args, 1, "prmtop: cannot be opened"},
        failed_run{"missing_control", [](const fs::path& w) { fs::remove(w / "rmsfit.in"); },
                   job_args, 1, "rmsfit.in: cannot be opened"},
        failed_run{"control_without_rms",
                   [](const fs::path& w) {
                       write_file(w / "rmsfit.in", replaced(control_text, "RMS\n", ""));
                   },
                   job_args, 1, "rmsfit.in: no line 'RMS'"},
        failed_run{"atom_counts_differ",
                   [](const fs::path& w) {
                       write_file(w / "rmscrd", coordinate_text(sample_molecule().leftCols(6)));
                   },
                   job_args, 1, "inpcrd, rmscrd: the reference has 7 atoms"},
        failed_run{"truncated_current",
                   [](const fs::path& w) {
                       std::string text = read_file(w / "rmscrd");
                       write_file(w / "rmscrd", text.substr(0, text.rfind('\n', text.size() - 2)));
                   },
                   job_args, 1, "rmscrd: the file ends after 18 of 21 values"},
        failed_run{"output_exists_without_overwrite",
                   [](const fs::path& w) { write_file(w / "output", "keep\n"); },
                   std::vector<std::string>(job_args.begin() + 1, job_args.end()), 1,
                   "output: exists"},
        failed_run{"output_is_an_input",
                   [](const fs::path&) {},
                   {"-O", "-i", "rmsfit.in", "-o", "./inpcrd", "-p", "prmtop", "-c", "inpcrd", "-r",
                    "rmscrd"},
                   1,
                   "./inpcrd: is also the input"},
        failed_run{"unknown_flag",
                   [](const fs::path&) {},
                   {"-O", "-x", "-i", "rmsfit.in", "-o", "output", "-p", "prmtop", "-c", "inpcrd",
                    "-r", "rmscrd"},
                   2,
                   "unknown argument '-x'"},
        failed_run{"missing_value",
                   [](const fs::path&) {},
                   {"-O", "-i", "rmsfit.in", "-o", "-p", "prmtop", "-c", "inpcrd", "-r", "rmscrd"},
                   2,
                   "option -o needs a file name"},
        failed_run{"missing_option",
                   [](const fs::path&) {},
                   {"-O", "-i", "rmsfit.in", "-o", "output", "-p", "prmtop", "-c", "inpcrd"},
                   2,
                   "option -r (current coordinates) is missing"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
