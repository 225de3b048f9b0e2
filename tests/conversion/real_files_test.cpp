// The conversion routes on real files written by Gaussian 94 to 16 and on real Gaussian
// inputs, kept beside the repository.
#include "conversion/conversion_job.h"

#include "conversion_files.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

const std::filesystem::path real_data = QM_REAL_DATA;

struct real_file : test::conversion_files {
    void SetUp() override {
        if (!std::filesystem::is_directory(real_data))
            GTEST_SKIP() << "real sample files not found at " << real_data;
    }
    // Converts into "out" (or "1 - out", "2 - out", ... for every geometry) and returns the
    // lines written to "out" (none when the route ends on a message).
    std::vector<std::string> convert(const std::string& file, input_type in, output_type out,
                                     bool multiple = false) {
        std::filesystem::remove(dir / "out");
        run_conversion({real_data / file, dir / "out", "out", in, out, multiple}, ui);
        return test::lines_of(test::read_file(dir / "out"));
    }
    // How many numbered geometry files "n - out" the last conversion wrote.
    int geometry_files() {
        int n = 0;
        while (std::filesystem::exists(dir / (std::to_string(n + 1) + " - out")))
            std::filesystem::remove(dir / (std::to_string(++n) + " - out"));
        return n;
    }
    std::string last_title() const { return ui.messages.empty() ? "" : ui.messages.back().title; }
};

TEST_F(real_file, Gaussian98Geometries) {
    auto pdb = convert("g98/cdk_g98.out", input_type::g98, output_type::pdb);
    ASSERT_EQ(pdb.size(), 13u); // 12 atoms of the last of 8 tables, END
    EXPECT_EQ(pdb[0], "ATOM      1  C           1      -0.852  -0.019  -0.000");
    EXPECT_EQ(pdb[11], "ATOM     12  H           1       1.710   2.162   0.000");

    pdb = convert("g98/obtestset_cotton.g98", input_type::g98, output_type::pdb);
    ASSERT_EQ(pdb.size(), 19u);
    EXPECT_EQ(pdb[0].substr(12, 2), "Cr");

    // 16 tables of the composite job, each in a file of its own.
    convert("g98/cclibdata_NIST_CCCBDB_1himidaz_m21b0.out", input_type::g98, output_type::xyz,
            true);
    EXPECT_EQ(test::lines_of(test::read_file(dir / "16 - out")).size(), 9u);
    EXPECT_EQ(geometry_files(), 16);
}

TEST_F(real_file, Gaussian98FrequencyTables) {
    auto table =
        convert("g98/cclibdata_NIST_CCCBDB_1himidaz_m21b0.out", input_type::g98, output_type::freq);
    ASSERT_EQ(table.size(), 21u); // 9 atoms: 3 x 9 - 6 modes
    EXPECT_EQ(table[0], " 535.0609     145.3955     1.2442");
    EXPECT_EQ(ui.messages.back().text, "Frequency Extraction Complete");

    table =
        convert("g98/cdk_g98.out", input_type::g98, output_type::freq); // #T: no thermochemistry
    ASSERT_EQ(table.size(), 30u);
    EXPECT_EQ(table[0], " 278.9499     0.2777     0.0000");

    table = convert("g98/obtestset_cotton.g98", input_type::g98, output_type::freq);
    ASSERT_EQ(table.size(), 48u);
    EXPECT_EQ(table[3], " 152.7890     0.4799     0.0000");

    // The high-precision block printed first is passed over for the usual one; the imaginary
    // frequency printed against its label keeps its sign.
    table = convert("g98/cclibdata_test_H2.log", input_type::g98, output_type::freq);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0], " -1407.9574     0.0000     445.3520");
}

// Gaussian 03, 09 and 16 outputs on the Gaussian 98 route: the last table as Open Babel reads
// it, every table, and the Gaussian 94 style output read back; the Gaussian 94 route refuses
// them.
TEST_F(real_file, Gaussian03To16Geometries) {
    struct row {
        const char* file;
        std::size_t atoms;
        const char *first, *last;
        int tables;
    };
    for (const row& r : {row{"g03_td/cclibdata_G03_CO_TD_delta.log", 2,
                             " C      0.000000      0.000000     -0.643075",
                             " O      0.000000      0.000000      0.482306", 1},
                         row{"gaussian_modern/cclib_Gaussian09_dvb_ir.out", 20,
                             " C      0.269481      1.410087      0.000000",
                             " H      2.364772      0.813167      0.000000", 1},
                         row{"gaussian_modern/cclib_Gaussian16_dvb_gopt.out", 20,
                             " C      0.269445      1.410118      0.000000",
                             " H      2.364759      0.813041     -0.000000", 6},
                         row{"gaussian_modern/cclibdata_G09_OPT_td_g09.out", 30,
                             " H     -0.736370     -1.895712      0.846125",
                             " H      1.997941     -1.523548      1.462902", 1}}) {
        SCOPED_TRACE(r.file);
        const auto xyz = convert(r.file, input_type::g98, output_type::xyz);
        ASSERT_EQ(xyz.size(), r.atoms) << last_title();
        EXPECT_EQ(xyz.front(), r.first);
        EXPECT_EQ(xyz.back(), r.last);

        convert(r.file, input_type::g98, output_type::xyz, true);
        EXPECT_EQ(geometry_files(), r.tables);

        const auto pdb = convert(r.file, input_type::g98, output_type::pdb);
        ASSERT_FALSE(convert(r.file, input_type::g98, output_type::g94).empty());
        std::filesystem::rename(dir / "out", dir / "out.g94");
        EXPECT_TRUE(run_conversion(
            {dir / "out.g94", dir / "back.pdb", "back.pdb", input_type::g94, output_type::pdb},
            ui));
        EXPECT_EQ(test::lines_of(test::read_file(dir / "back.pdb")), pdb);

        EXPECT_TRUE(convert(r.file, input_type::g94, output_type::pdb).empty());
        EXPECT_EQ(last_title(), "Invalid File Format");
    }
    // A Gaussian 03 job run without symmetry prints no Standard orientation.
    EXPECT_TRUE(
        convert("g03_td/cclibdata_G03_anth1.log", input_type::g98, output_type::pdb).empty());
    EXPECT_EQ(last_title(), "No Standard Orientation Found");
}

// Frequencies, IR intensities and Raman activities as cclib reads them; an IR-only job's rows
// end after the IR intensity, and the high-precision block is passed over.
TEST_F(real_file, Gaussian09And16FrequencyTables) {
    auto table =
        convert("gaussian_modern/cclib_Gaussian09_dvb_ir.out", input_type::g98, output_type::freq);
    ASSERT_EQ(table.size(), 54u); // 20 atoms: 3 x 20 - 6
    EXPECT_EQ(table[0], " 52.7882     0.0323");
    EXPECT_EQ(table[53], " 3549.7032     0.0000");
    table = convert("gaussian_modern/cclib_Gaussian16_dvb_raman.out", input_type::g98,
                    output_type::freq);
    ASSERT_EQ(table.size(), 54u);
    EXPECT_EQ(table[1], " 84.6059     0.0000     2.6793");
    EXPECT_EQ(table[53], " 3548.4260     0.0000     137.6843");
}

TEST_F(real_file, Gaussian94Output) {
    const auto pdb =
        convert("g94/obtestset_phenylnitrene.g94.gal", input_type::g94, output_type::pdb);
    ASSERT_EQ(pdb.size(), 13u);
    EXPECT_EQ(pdb[0], "ATOM      1  C           1       0.000   0.000   1.043");
    EXPECT_TRUE(
        convert("g94/obtestset_phenylnitrene.g94.gal", input_type::g98, output_type::pdb).empty());
    EXPECT_EQ(last_title(), "Invalid File Format");
}

TEST_F(real_file, GaussianInputs) {
    auto xyz = convert("gaussian_input/cclib_Gaussian09_Trp_polar.com", input_type::gaussian_input,
                       output_type::xyz);
    ASSERT_EQ(xyz.size(), 27u);
    EXPECT_EQ(xyz[0], "N     -0.0699826875      0.3321987191      0.2821283177");

    xyz = convert("gaussian_input/cclib_Gaussian09_dvb_nmr.com", input_type::gaussian_input,
                  output_type::xyz);
    ASSERT_EQ(xyz.size(), 20u);
    EXPECT_EQ(xyz[0].substr(0, 9), "C(Iso=13)");

    xyz = convert("gaussian_input/obtestset_graphite.com", input_type::gaussian_input,
                  output_type::xyz);
    ASSERT_EQ(xyz.size(), 4u); // two atoms and the two translation vectors, as written
    EXPECT_EQ(xyz[3], "TV     -1.219952      2.133447      0.000000");

    // A Z-matrix input with CR LF line ends: no Cartesian section to be found.
    EXPECT_TRUE(convert("gaussian_input/cclib_Gaussian09_dvb_gopt.gjf", input_type::gaussian_input,
                        output_type::xyz)
                    .empty());
    EXPECT_EQ(last_title(), "No Cartesian Input Structure");
}

} // namespace
} // namespace qm
