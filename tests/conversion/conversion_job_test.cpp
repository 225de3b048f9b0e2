#include "conversion/conversion_job.h"

#include "conversion_files.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// Every route ends in one message with the normal pointer back, the input as it was; one that
// ends early writes nothing; each starts clean. The XYZ route writes PDB only, the Gaussian 94
// route no frequency table or Gaussian 94 output.
TEST(ConversionRoute, EveryRouteEndsInOneMessage) {
    test::temp_dir dir;
    const std::string carbon = "x\nC 0.0 0.0 0.0\n",
                      report_end = ") routine.\n\rReturning to main menu",
                      fatal = "Fatal - Error: Error (";
    const std::string no_tables = test::gaussian_output(test::g98_banner, " no tables here\n");
    const std::string g98_water = test::gaussian_output(
        test::g98_banner, test::g98_table(test::water) + test::frequency_section({3}, 3));
    const std::string g94_water =
        test::gaussian_output(test::g94_banner, test::g94_table(test::water));
    const std::string gaussian_input =
        "#p\n\nt\n\n0 1\nC   0.000   -1.200   2.500\nCl 1.0 2.0 3.0\n\n";
    const std::string converted = "Conversion Completed: Conversion Complete";
    const std::string invalid =
        "Invalid File Format: File format is not valid - Returning to Main Menu";
    const std::string no_orientation =
        "No Standard Orientation Found: Standard Orientation not found in file - Possible error is "
        "NOSYMM was specified in job preferences or calculation was a single point energy "
        "minimisation.";
    const std::string frequencies = "Frequency Extraction Completed: Frequency Extraction Complete";
    const std::string table = " 100.1234     1.1000     0.5000\n 200.1234     2.1000     1.5000\n"
                              " 300.1234     3.1000     2.5000\n";
    // Two steps of water, and a NoSymm job's Input orientation tables of it.
    const std::string two_steps = test::gaussian_output(
        test::g98_banner, test::g98_table(test::water) + test::g98_table(test::water));
    const std::string nosymm = test::gaussian_output(
        test::g98_banner, test::g98_table(test::water, test::g98_input_header) + " SCF Done\n");
    const std::string from_input_orientation =
        converted + "\n\rInput orientation used: the file has no Standard orientation (NoSymm job)";
    const std::string water_atoms =
        "ATOM      1  O1  MOL A   1       0.000   0.000   0.119  1.00  0.00           O\n"
        "ATOM      2  H1  MOL A   1       0.000   0.763  -0.477  1.00  0.00           H\n"
        "ATOM      3  H2  MOL A   1       0.000  -0.763  -0.477  1.00  0.00           H\n";
    // The same text with Windows or old Mac line ends.
    const auto line_ends = [](const std::string& text, const std::string& end) {
        std::string out;
        for (const char c : text)
            out += c == '\n' ? end : std::string(1, c);
        return out;
    };
    const auto water_frame = [](int n) {
        return "3\nin, geometry " + std::to_string(n) +
               "\nO        0.000000       0.000000       0.119262\n"
               "H        0.000000       0.763239      -0.477047\n"
               "H        0.000000      -0.763239      -0.477047\n";
    };
    struct row {
        const char* name;
        std::string input;
        input_type from;
        output_type to;
        std::string message, written = "", destination = "a";
        bool multiple = false;
    };
    for (const row& r : std::vector<row>{
             {"xyz", "water\n8 0.000 0.000 0.119\n1 0.000 0.763 -0.477\n", in::xyz, out::pdb,
              converted,
              "ATOM      1  O           1      0.000  0.000  0.119\n"
              "ATOM      2  H           1      0.000  0.763  -0.477\nEND\n"},
             {"no output type", carbon, in::xyz, out::none, converted},
             {"standard XYZ file", "2\ncomment\nC 0.0 0.0 0.0\nCl 1.0 -12.3456 100\n", in::xyz,
              out::standard_pdb, converted,
              "ATOM      1  C1  MOL A   1       0.000   0.000   0.000  1.00  0.00           C\n"
              "ATOM      2 CL1  MOL A   1       1.000 -12.346 100.000  1.00  0.00          "
              "CL\nEND\n"},
             {"OwnXyzLayoutToStandardXyz", "water\n8 0.000 0.000 0.119\n1 0.000 0.763 -0.477\n",
              in::xyz, out::standard_xyz, converted,
              "2\nin, geometry 1\nO           0.000          0.000          0.119\n"
              "H           0.000          0.763         -0.477\n"},
             {"standard XYZ frame short of its count", "2\ncomment\nC 0.0 0.0 0.0\n", in::xyz,
              out::pdb,
              fatal + "Frame 1 has 1 atom line for its count of 2) in (xyz_extract" + report_end},
             {"StandardXyzFramesOfEveryGeometryInOneFile", two_steps, in::g98, out::standard_xyz,
              converted, water_frame(1) + water_frame(2), "a", true},
             {"StandardPdbModelsOfEveryGeometryInOneFile", two_steps, in::g98, out::standard_pdb,
              converted,
              "MODEL        1\n" + water_atoms + "ENDMDL\nMODEL        2\n" + water_atoms +
                  "ENDMDL\nEND\n",
              "a", true},
             {"last geometry, standard XYZ", two_steps, in::g98, out::standard_xyz, converted,
              water_frame(2)},
             // The banner line too ends in CR LF: Gaussian for Windows.
             {"WindowsLineEndsReadAsTheLfFile", line_ends(g98_water, "\r\n"), in::g98,
              out::standard_pdb, converted, water_atoms + "END\n"},
             {"old Mac line ends, Gaussian 94", line_ends(g94_water, "\r"), in::g94,
              out::standard_pdb, converted, water_atoms + "END\n"},
             {"NoSymmJobReadsTheInputOrientation", nosymm, in::g98, out::standard_pdb,
              from_input_orientation, water_atoms + "END\n"},
             {"NoSymm job, every geometry", nosymm, in::g98, out::standard_xyz,
              from_input_orientation, water_frame(1), "a", true},
             // A coordinate beyond the 8.3 columns leaves no file behind.
             {"StandardPdbCoordinateTooWideIsOverflow", "1\nc\nC 0 0 -1000.0\n", in::xyz,
              out::standard_pdb, fatal + "Overflow) in (xyz_extract" + report_end},
             {"unknown element", "x\n6 0.0 0.0 0.0\n104 1.0 1.0 1.0\n", in::xyz, out::pdb,
              fatal + ") in (number_element_to_letters" + report_end},
             {"unwritable destination", carbon, in::xyz, out::pdb,
              fatal + "Path not found) in (xyz_extract" + report_end, "", "no-folder/a"},
             {"input chosen as output", carbon, in::xyz, out::pdb,
              fatal + "File already open) in (xyz_extract" + report_end, carbon, "in"},
             {"frequencies", g98_water, in::g98, out::freq, frequencies, table},
             {"no table", no_tables, in::g98, out::pdb, no_orientation},
             {"no table, multiple", no_tables, in::g98, out::pdb, no_orientation, "", "a", true},
             {"no frequencies", no_tables, in::g98, out::freq,
              "No Frequencies Found: Frequencies not found in file - are you sure this was a "
              "frequency job?"},
             {"SecondJobsOfEitherKindInOneRun", g98_water, in::g98, out::freq, frequencies, table},
             {"Gaussian 98 file, Gaussian 94 route", no_tables, in::g94, out::pdb, invalid},
             {"Gaussian94RouteIgnoresOutputsItDoesNotOffer", g94_water, in::g94, out::freq,
              converted},
             // The residue number stands in column 25 for one- and two-character labels alike.
             {"Gaussian input to pdb", gaussian_input, in::gaussian_input, out::pdb, converted,
              "ATOM      1 C           1       0.000  -1.200   2.500\n"
              "ATOM      2 Cl          1       1.0   2.0   3.0\nEND\n"}}) {
        SCOPED_TRACE(r.name);
        test::recording_ui ui;
        test::write_file(dir / "in", r.input);
        const bool ok = r.message.find("Completed: ") != std::string::npos;
        const auto out = dir / r.destination;
        EXPECT_EQ(run_conversion({dir / "in", out, r.destination, r.from, r.to, r.multiple}, ui),
                  ok);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].icon, ok ? message_icon::information : message_icon::exclamation);
        EXPECT_EQ(ui.messages[0].title + ": " + ui.messages[0].text, r.message);
        EXPECT_EQ(ui.busy_calls, (std::vector<bool>{true, false}));
        EXPECT_TRUE(!ok || ui.progress == ui.progress_max);
        EXPECT_EQ(test::read_file(dir / "in"), r.input);
        EXPECT_EQ(test::read_file(out), r.written);
        std::filesystem::remove(out);
    }
}

} // namespace
} // namespace qm
