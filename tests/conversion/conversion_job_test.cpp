#include "conversion/conversion_job.h"

#include "support/gaussian_files.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

struct conversion_run : ::testing::Test {
    test::temp_dir dir;
    test::recording_ui ui;

    conversion_settings settings(input_type in, output_type out, const std::string& name,
                                 bool multiple = false) {
        return {dir / "in", dir / name, name, in, out, multiple};
    }
    void input(const std::string& text) { test::write_file(dir / "in", text); }
    const test::recorded_message& last() const { return ui.messages.back(); }
};

const std::string report_end = ") routine.\n\rReturning to main menu";

// The XYZ route converts to PDB only; every other ending is one message, with the normal
// pointer back, nothing written and the input as it was.
TEST_F(conversion_run, XyzRouteEndings) {
    const std::string carbon = "x\nC 0.0 0.0 0.0\n";
    struct row {
        const char* name;
        std::string xyz;
        output_type out;
        std::string destination, title, text, pdb;
    };
    for (const row& r : std::vector<row>{
             {"pdb", "water\n8 0.000 0.000 0.119\n1 0.000 0.763 -0.477\n", output_type::pdb,
              "out.pdb", "Conversion Completed", "Conversion Complete",
              "ATOM      1  O           1      0.000  0.000  0.119\n"
              "ATOM      2  H           1      0.000  0.763  -0.477\nEND\n"},
             {"no output type", carbon, output_type::none, "out.pdb", "Conversion Completed",
              "Conversion Complete", ""},
             {"standard XYZ file with its comment line", "2\ncomment\nC 0.0 0.0 0.0\n",
              output_type::pdb, "out.pdb", "Invalid File Format",
              "File format is not valid - Returning to Main Menu", ""},
             {"unknown element", "x\n6 0.0 0.0 0.0\n104 1.0 1.0 1.0\n", output_type::pdb, "out.pdb",
              "Fatal - Error", "Error () in (number_element_to_letters" + report_end, ""},
             {"unwritable destination", carbon, output_type::pdb, "no-folder/out.pdb",
              "Fatal - Error", "Error (Path not found) in (xyz_extract" + report_end, ""},
             {"input chosen as output", carbon, output_type::pdb, "in", "Fatal - Error",
              "Error (File already open) in (xyz_extract" + report_end, ""}}) {
        SCOPED_TRACE(r.name);
        test::recording_ui fresh;
        input(r.xyz);
        const bool ok = r.title == "Conversion Completed";
        EXPECT_EQ(run_conversion(settings(input_type::xyz, r.out, r.destination), fresh), ok);
        ASSERT_EQ(fresh.messages.size(), 1u);
        EXPECT_EQ(fresh.messages[0].icon,
                  ok ? message_icon::information : message_icon::exclamation);
        EXPECT_EQ(fresh.messages[0].title, r.title);
        EXPECT_EQ(fresh.messages[0].text, r.text);
        EXPECT_EQ(fresh.busy_calls, (std::vector<bool>{true, false}));
        EXPECT_TRUE(!ok || fresh.progress == fresh.progress_max);
        EXPECT_EQ(test::read_file(dir / "in"), r.xyz);
        if (r.destination != "in") {
            EXPECT_EQ(std::filesystem::exists(dir / r.destination), !r.pdb.empty());
            EXPECT_EQ(test::read_file(dir / r.destination), r.pdb);
            std::filesystem::remove(dir / r.destination);
        }
    }
    EXPECT_FALSE(multiple_allowed(input_type::xyz, output_type::pdb));
    EXPECT_FALSE(multiple_allowed(input_type::g98, output_type::g94));
    EXPECT_TRUE(multiple_allowed(input_type::g94, output_type::pdb));
}

TEST_F(conversion_run, MessagesThatEndTheGaussianOutputRoutes) {
    input(test::gaussian_output(test::g98_banner, " no tables here\n"));
    const std::string no_orientation =
        "Standard Orientation not found in file - Possible error is NOSYMM was specified in job "
        "preferences or calculation was a single point energy minimisation.";
    struct row {
        input_type in;
        output_type out;
        bool multiple;
        std::string title, text;
    };
    for (const row& r :
         {row{input_type::g98, output_type::pdb, false, "No Standard Orientation Found",
              no_orientation},
          row{input_type::g98, output_type::pdb, true, "No Standard Orientation Found",
              no_orientation},
          row{input_type::g98, output_type::freq, false, "No Frequencies Found",
              "Frequencies not found in file - are you sure this was a frequency job?"},
          // A Gaussian 98 file on the Gaussian 94 route: its banner is not there.
          row{input_type::g94, output_type::pdb, false, "Invalid File Format",
              "File format is not valid - Returning to Main Menu"}}) {
        EXPECT_FALSE(run_conversion(settings(r.in, r.out, "a", r.multiple), ui));
        EXPECT_EQ(last().title, r.title);
        EXPECT_EQ(last().text, r.text);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "a"));
}

TEST_F(conversion_run, SecondJobsOfEitherKindInOneRun) {
    input(test::gaussian_output(test::g98_banner,
                                test::g98_table(test::water) + test::frequency_section({3}, 3)));
    EXPECT_TRUE(run_conversion(settings(input_type::g98, output_type::freq, "f.txt"), ui));
    EXPECT_EQ(last().title, "Frequency Extraction Completed");
    EXPECT_EQ(last().text, "Frequency Extraction Complete");
    EXPECT_EQ(ui.progress, ui.progress_max);
    EXPECT_TRUE(run_conversion(settings(input_type::g98, output_type::pdb, "w.pdb"), ui));
    EXPECT_EQ(last().text, "Conversion Complete");
    EXPECT_TRUE(run_conversion(settings(input_type::g98, output_type::freq, "g.txt"), ui));
    EXPECT_EQ(test::read_file(dir / "f.txt"), test::read_file(dir / "g.txt"));
    EXPECT_EQ(test::lines_of(test::read_file(dir / "w.pdb")).size(), 4u);
}

TEST_F(conversion_run, Gaussian94RouteIgnoresOutputsItDoesNotOffer) {
    input(test::gaussian_output(test::g94_banner, test::g94_table(test::water)));
    // Frequency tables and Gaussian 94 outputs come from Gaussian 98 files only: nothing is
    // written, as for any output type the route does not know.
    EXPECT_TRUE(run_conversion(settings(input_type::g94, output_type::freq, "f.txt"), ui));
    EXPECT_FALSE(std::filesystem::exists(dir / "f.txt"));
    EXPECT_TRUE(run_conversion(settings(input_type::g94, output_type::xyz, "w.xyz"), ui));
    EXPECT_EQ(test::read_file(dir / "w.xyz").substr(0, 2), " O");
}

TEST_F(conversion_run, GaussianInputToPdbAndXyz) {
    input("#p\n\nt\n\n0 1\nC   0.000   -1.200   2.500\nCl 1.0 2.0 3.0\n\n");
    EXPECT_TRUE(run_conversion(settings(input_type::gaussian_input, output_type::pdb, "i"), ui));
    // The residue number stands in column 25 for one- and two-character labels alike.
    EXPECT_EQ(test::read_file(dir / "i"), "ATOM      1 C           1       0.000  -1.200   2.500\n"
                                          "ATOM      2 Cl          1       1.0   2.0   3.0\n"
                                          "END\n");
    EXPECT_TRUE(run_conversion(settings(input_type::gaussian_input, output_type::xyz, "i"), ui));
    EXPECT_EQ(test::read_file(dir / "i"), "C      0.000     -1.200      2.500\n"
                                          "Cl      1.0      2.0      3.0\n");
}

} // namespace
} // namespace qm
