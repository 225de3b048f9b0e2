// The conversion routes on real Gaussian 94 to 16 outputs and inputs, kept beside the project.
#include "conversion_files.h"

#include <gtest/gtest.h>

#include <map>

namespace qm {
namespace {

const std::filesystem::path real_data = QM_REAL_DATA;

struct real_file : test::conversion_files {
    void SetUp() override {
        if (!std::filesystem::is_directory(real_data))
            GTEST_SKIP() << "real sample files not found at " << real_data;
    }
};

// Each route's line count (atoms and END, 3N - 6 modes, ...) and one line of its output, as cclib
// reads it, or the title of the message that ends it. cdk_g98 has 8 tables.
TEST_F(real_file, EveryRouteOnRealFiles) {
    using row = std::tuple<const char*, input_type, output_type, std::size_t, int, std::string>;
    for (const auto& [file, from, to, count, index, line] : std::initializer_list<row>{
             {"g98/cdk_g98.out", in::g98, out::pdb, 13, 0,
              "ATOM      1  C           1      -0.852  -0.019  -0.000"},
             {"g98/obtestset_cotton.g98", in::g98, out::pdb, 19, 0, "ATOM      1 Cr"},
             {"g98/cclibdata_NIST_CCCBDB_1himidaz_m21b0.out", in::g98, out::freq, 21, 0,
              " 535.0609     145.3955     1.2442"},
             // #T: no thermochemistry
             {"g98/cdk_g98.out", in::g98, out::freq, 30, 0, " 278.9499     0.2777     0.0000"},
             // The high-precision block printed first is passed over for the usual one; the
             // imaginary frequency printed against its label keeps its sign.
             {"g98/cclibdata_test_H2.log", in::g98, out::freq, 1, 0,
              " -1407.9574     0.0000     445.3520"},
             // An IR-only job's rows end after the IR intensity.
             {"gaussian_modern/cclib_Gaussian09_dvb_ir.out", in::g98, out::freq, 54, 53,
              " 3549.7032     0.0000"},
             {"gaussian_modern/cclib_Gaussian16_dvb_raman.out", in::g98, out::freq, 54, 1,
              " 84.6059     0.0000     2.6793"},
             {"g94/obtestset_phenylnitrene.g94.gal", in::g94, out::pdb, 13, 0,
              "ATOM      1  C           1       0.000   0.000   1.043"},
             // A Gaussian 03 job run without symmetry prints no Standard orientation: its Input
             // orientation is read.
             {"g03_td/cclibdata_G03_anth1.log", in::g98, out::pdb, 25, 0,
              "ATOM      1  C           1       0.000   0.000   0.000"},
             {"g03_td/cclibdata_G03_anth1.log", in::g98, out::standard_pdb, 25, 23,
              "ATOM     24  H10 MOL A   1       0.943   0.000  -4.794  1.00  0.00           H"},
             {"gaussian_input/cclib_Gaussian09_Trp_polar.com", in::gaussian_input, out::xyz, 27, 0,
              "N     -0.0699826875      0.3321987191      0.2821283177"},
             // Two atoms and the two translation vectors, as written.
             {"gaussian_input/obtestset_graphite.com", in::gaussian_input, out::xyz, 4, 3,
              "TV     -1.219952      2.133447      0.000000"},
             // A Z-matrix input with CR LF line ends, read as its LF copy: its separators hold a
             // blank, so the empty lines around the variables are taken for them, and the
             // variables are no atom lines.
             {"gaussian_input/cclib_Gaussian09_dvb_gopt.gjf", in::gaussian_input, out::xyz, 0, 0,
              "Fatal - Error"}}) {
        const auto lines = test::lines_of(convert(real_data / file, from, to));
        ASSERT_EQ(lines.size(), count) << file << ": " << ui.messages.back().title;
        EXPECT_EQ(count ? lines[index].substr(0, line.size()) : ui.messages.back().title, line)
            << file;
    }
}

// Gaussian 03 to 16 outputs on the Gaussian 98 route, beside a Gaussian 98 composite job: the
// last table as Open Babel reads it, every table, and the Gaussian 94 style output read back.
TEST_F(real_file, GeometriesOfEveryVersion) {
    using row = std::tuple<const char*, std::size_t, int, const char*, const char*>;
    for (const auto& [file, atoms, tables, first, last] :
         {row{"g03_td/cclibdata_G03_CO_TD_delta.log", 2, 1,
              " C      0.000000      0.000000     -0.643075",
              " O      0.000000      0.000000      0.482306"},
          row{"gaussian_modern/cclib_Gaussian09_dvb_ir.out", 20, 1,
              " C      0.269481      1.410087      0.000000",
              " H      2.364772      0.813167      0.000000"},
          row{"gaussian_modern/cclib_Gaussian16_dvb_gopt.out", 20, 6,
              " C      0.269445      1.410118      0.000000",
              " H      2.364759      0.813041     -0.000000"},
          row{"g98/cclibdata_NIST_CCCBDB_1himidaz_m21b0.out", 9, 16,
              " N     -0.740498     -0.992635      0.000000",
              " N      0.000000      1.103375      0.000000"}}) {
        SCOPED_TRACE(file);
        const auto xyz = test::lines_of(convert(real_data / file, in::g98, out::xyz));
        ASSERT_EQ(xyz.size(), atoms) << ui.messages.back().title;
        EXPECT_EQ(xyz.front() + "|" + xyz.back(), std::string(first) + "|" + last);
        // Every table in a numbered file of its own (rows by table count, so no file of the row
        // before can stand in), the last one the single mode's.
        convert(real_data / file, in::g98, out::xyz, true);
        const auto numbered = [&](int n) { return dir / (std::to_string(n) + " - out"); };
        EXPECT_FALSE(std::filesystem::exists(numbered(tables + 1)));
        EXPECT_EQ(test::lines_of(test::read_file(numbered(tables))), xyz);

        const std::string pdb = convert(real_data / file, in::g98, out::pdb);
        ASSERT_FALSE(convert(real_data / file, in::g98, out::g94).empty());
        std::filesystem::rename(dir / "out", dir / "out.g94");
        EXPECT_EQ(convert(dir / "out.g94", in::g94, out::pdb), pdb);
    }
}

// Every real Gaussian output and Cartesian input, and an XYZ written from one, converts to the
// same bytes through every route from CR LF and CR copies as from the file itself.
TEST_F(real_file, WindowsAndOldMacLineEndsConvertAsTheLfFile) {
    using row = std::pair<std::filesystem::path, input_type>;
    std::vector<row> inputs;
    for (const char* folder : {"g98", "g94", "g03_td", "gaussian_modern", "gaussian_input"})
        for (const auto& entry : std::filesystem::directory_iterator(real_data / folder))
            if (entry.path().extension() != ".gjf") // CR LF already
                inputs.push_back({entry.path(), std::string(folder) == "g94" ? in::g94
                                                : std::string(folder) == "gaussian_input"
                                                    ? in::gaussian_input
                                                    : in::g98});
    ASSERT_EQ(inputs.size(), 16u);
    file(convert(real_data / "g98/cdk_g98.out", in::g98, out::xyz), "own.xyz");
    file(convert(real_data / "g03_td/cclibdata_G03_anth1.log", in::g98, out::standard_xyz, true),
         "standard.xyz");
    inputs.push_back({dir / "own.xyz", in::xyz});
    inputs.push_back({dir / "standard.xyz", in::xyz});
    // Every output of a file, with the message each run ends in, by output type and mode.
    const auto outputs = [&](const std::filesystem::path& input, input_type from) {
        std::map<std::string, std::string> all;
        for (const output_type to :
             {out::xyz, out::pdb, out::g94, out::freq, out::standard_xyz, out::standard_pdb})
            for (const bool multiple : {false, true}) {
                if (!output_allowed(from, to) || (multiple && !multiple_allowed(from, to)))
                    continue;
                ui.messages.clear();
                const std::string written = convert(input, from, to, multiple);
                EXPECT_EQ(ui.messages.size(), 1u) << static_cast<int>(to) << multiple;
                all[std::to_string(static_cast<int>(to)) + (multiple ? " every" : " last")] =
                    written + "|" + (ui.messages.empty() ? "" : ui.messages.back().text);
            }
        return all;
    };
    // The copies keep the file's name, which the standard XYZ comment lines carry.
    std::filesystem::create_directories(dir / "crlf");
    std::filesystem::create_directories(dir / "cr");
    for (const auto& [path, from] : inputs) {
        SCOPED_TRACE(path.filename().string());
        const std::string lf = test::read_file(path);
        ASSERT_EQ(lf.find('\r'), std::string::npos);
        std::string cr_lf, cr;
        for (const char c : lf) {
            cr_lf += c == '\n' ? "\r\n" : std::string(1, c);
            cr += c == '\n' ? '\r' : c;
        }
        const auto name = path.filename();
        test::write_file(dir / "crlf" / name, cr_lf);
        test::write_file(dir / "cr" / name, cr);
        const auto want = outputs(path, from);
        for (const auto& copy : {dir / "crlf" / name, dir / "cr" / name}) {
            const auto got = outputs(copy, from);
            ASSERT_EQ(got.size(), want.size());
            for (const auto& [route, text] : want) // no copy of a whole file in the report
                EXPECT_TRUE(got.at(route) == text) << copy << ", output type " << route;
        }
    }
}

// Open Babel's XYZ of a real output (five decimals), and our own standard XYZ of a NoSymm one,
// read by the XYZ route give the PDB the Gaussian route gives of the file itself.
TEST_F(real_file, OpenBabelXyzOfARealFileReadsAsTheFile) {
    for (const auto& [file_name, babel] : std::vector<std::pair<const char*, std::string>>{
             {"g03_td/cclibdata_G03_CO_TD_delta.log",
              "2\ncclibdata_G03_CO_TD_delta.log\tEnergy:  -71044.8233299\n"
              "C          0.00000        0.00000       -0.64307\n"
              "O          0.00000        0.00000        0.48231\n"},
             {"g03_td/cclibdata_G03_anth1.log", ""}}) {
        SCOPED_TRACE(file_name);
        const std::string from_gaussian =
            convert(real_data / file_name, in::g98, out::standard_pdb);
        const std::string xyz =
            babel.empty() ? convert(real_data / file_name, in::g98, out::standard_xyz) : babel;
        EXPECT_EQ(convert(file(xyz, "babel.xyz"), in::xyz, out::standard_pdb), from_gaussian);
    }
}

} // namespace
} // namespace qm
