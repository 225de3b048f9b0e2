// The conversion routes on real files written by Gaussian 94 and 98 and on real Gaussian
// inputs, kept beside the repository.
#include "conversion/conversion_job.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

const std::filesystem::path real_data = QM_REAL_DATA;

struct real_file : ::testing::Test {
    test::temp_dir dir;
    test::recording_ui ui;

    void SetUp() override {
        if (!std::filesystem::is_directory(real_data))
            GTEST_SKIP() << "real sample files not found at " << real_data;
    }
    // Converts and returns the lines written (empty when the route ends on a message).
    std::vector<std::string> convert(const std::string& file, input_type in, output_type out,
                                     bool multiple = false) {
        const conversion_settings s{real_data / file, dir / "out", "out", in, out, multiple};
        if (!run_conversion(s, ui))
            return {};
        return test::lines_of(test::read_file(dir / "out"));
    }
    std::string last_message() const { return ui.messages.empty() ? "" : ui.messages.back().text; }
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
    const conversion_settings every{real_data / "g98/cclibdata_NIST_CCCBDB_1himidaz_m21b0.out",
                                    dir / "out",
                                    "out",
                                    input_type::g98,
                                    output_type::xyz,
                                    true};
    EXPECT_TRUE(run_conversion(every, ui));
    for (int n = 1; n <= 16; ++n)
        EXPECT_EQ(test::lines_of(test::read_file(dir / (std::to_string(n) + " - out"))).size(), 9u)
            << n;
    EXPECT_FALSE(std::filesystem::exists(dir / "17 - out"));
}

TEST_F(real_file, Gaussian98FrequencyTables) {
    auto table =
        convert("g98/cclibdata_NIST_CCCBDB_1himidaz_m21b0.out", input_type::g98, output_type::freq);
    ASSERT_EQ(table.size(), 21u); // 9 atoms: 3 x 9 - 6 modes
    EXPECT_EQ(table[0], " 535.0609     145.3955     1.2442");
    EXPECT_EQ(last_message(), "Frequency Extraction Complete");

    table =
        convert("g98/cdk_g98.out", input_type::g98, output_type::freq); // #T: no Thermochemistry
    ASSERT_EQ(table.size(), 30u);
    EXPECT_EQ(table[0], " 278.9499     0.2777     0.0000");

    table = convert("g98/obtestset_cotton.g98", input_type::g98, output_type::freq);
    ASSERT_EQ(table.size(), 48u);
    EXPECT_EQ(table[3], " 152.7890     0.4799     0.0000");

    // The high-precision block printed first is passed over for the usual one.
    table = convert("g98/cclibdata_test_H2.log", input_type::g98, output_type::freq);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0], " -1407.9574     0.0000     445.3520");
}

TEST_F(real_file, Gaussian94Output) {
    const auto pdb =
        convert("g94/obtestset_phenylnitrene.g94.gal", input_type::g94, output_type::pdb);
    ASSERT_EQ(pdb.size(), 13u);
    EXPECT_EQ(pdb[0], "ATOM      1  C           1       0.000   0.000   1.043");
    EXPECT_TRUE(
        convert("g94/obtestset_phenylnitrene.g94.gal", input_type::g98, output_type::pdb).empty());
    EXPECT_EQ(ui.messages.back().title, "Invalid File Format");
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
    EXPECT_EQ(ui.messages.back().title, "No Cartesian Input Structure");
}

} // namespace
} // namespace qm
