// The frequency table: every version's sections read into rows, or no table.
#include "gaussian_output_file.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// Blocks of any size, in mode order, from the first section only. From Gaussian 09 the heading
// runs over four lines; Gaussian 03 prints either form. A value without its frequency would land
// in another mode's row: no table, as for a file ending inside a block or without a section.
TEST_F(gaussian_output_file, FrequencySectionsOfEveryVersionAndNoValueShiftsARow) {
    const std::string one_line =
        " reduced masses (AMU), force constants (mDyne/A) and normal coordinates:\n";
    std::string modern = test::frequency_section({3, 1}, 2),
                extra_ir = test::frequency_section({2}, 2);
    modern.replace(modern.find(one_line), one_line.size(),
                   " activities (A**4/AMU), depolarization ratios for plane and unpolarized\n"
                   " incident light, reduced masses (AMU), force constants (mDyne/A),\n"
                   " and normal coordinates:\n");
    const std::string old = test::frequency_section({3, 1}, 2),
                      block = test::frequency_section({3}, 2);
    extra_ir.insert(extra_ir.find('\n', extra_ir.find(" IR Inten    --")), "     9.9999");
    const std::string four = "4: 400.1234     4.1000     3.5000";
    using row = std::tuple<const char*, const gaussian_version*, std::string, std::string>;
    for (const auto& [name, version, body, table] : std::initializer_list<row>{
             {"only the first section, any atom count", &gaussian_98,
              test::frequency_section({3, 2}, 1) + test::frequency_section({2}, 30),
              "5: 500.1234     5.1000     4.5000"},
             {"NoRamanLineEndsTheRowAfterTheIrIntensity", &gaussian_98,
              test::frequency_section({3, 1}, 2, false), "4: 400.1234     4.1000"},
             {"Gaussian 03, four-line heading", &gaussian_03, modern, four},
             {"Gaussian 03, one-line heading", &gaussian_03, old, four},
             {"Gaussian 98, four-line heading", &gaussian_98, modern, "not found"},
             {"Gaussian 16, one-line heading", &gaussian_16, old, "not found"},
             {"MoreValuesThanFrequenciesIsAnErrorNotAShiftedTable", &gaussian_98, extra_ir,
              "reported"},
             {"file ending inside a block", &gaussian_98, block.substr(0, block.find(" Depolar")),
              "reported"},
             {"no section", &gaussian_98, test::g98_table(test::water), "not found"}})
        EXPECT_EQ(table_of(*version, body), table) << name;
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text,
              "Error (Subscript out of range) in (g98_freq_extract) routine.\n\rReturning to main "
              "menu.\r\nIs this definately a UNIX formated text file?");
}

} // namespace
} // namespace qm
