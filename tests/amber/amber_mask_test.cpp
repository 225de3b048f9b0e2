#include "amber/amber_mask.h"
#include "amber/prmtop.h"

#include "platform/run_error.h"
#include "support/as_text.h"
#include "support/mdcrd_files.h"

#include <gtest/gtest.h>

#include <sstream>

namespace qm {
namespace {

// 12 atoms: a serine cut short, two waters and the two ions between them.
const std::vector<test::residue_atoms> small = {{"SER", {"N", "CA", "CB", "OG"}},
                                                {"WAT", {"O", "H1", "H2"}},
                                                {"Na+", {"Na+"}},
                                                {"Cl-", {"Cl-"}},
                                                {"WAT", {"O", "H1", "H2"}}};

amber_topology topology_of(const std::string& text) {
    std::istringstream in(text);
    return read_prmtop(in);
}

// The selected atom numbers (from 1), or the run error's description.
std::string selected(const amber_topology& t, const std::string& mask) {
    try {
        std::string numbers;
        for (const atom_run& r : select_atoms(t, mask))
            for (std::uint64_t a = r.first + 1; a <= r.first + r.count; ++a)
                numbers += (numbers.empty() ? "" : ",") + std::to_string(a);
        return numbers;
    } catch (const run_error& e) {
        return std::to_string(e.number) + ": " + e.description;
    }
}

TEST(AmberMask, SelectsByResidueAndAtomNumbersNamesAndWildcards) {
    const amber_topology t = topology_of(test::prmtop(small));
    const std::pair<const char*, const char*> cases[] = {
        {":1-2,4", "1,2,3,4,5,6,7,9"},
        {":WAT", "5,6,7,10,11,12"},
        {":Na+,Cl-", "8,9"}, // '+' and '-' belong to the names
        {"@CA,CB", "2,3"},
        {"@1-3,12", "1,2,3,12"},
        {":1-5@O*", "4,5,10"},
        {"!:WAT", "1,2,3,4,8,9"},
        {":WAT & @H*", "6,7,11,12"},
        {"@CA | :Cl-", "2,9"},
        {"@CA | :Cl- & @N", "2"}, // '&' binds first
        {"!(:WAT | @C*)", "1,4,8"},
        {"!!:1", "1,2,3,4"},
        {"*", "1,2,3,4,5,6,7,8,9,10,11,12"},
        {":?A?", "5,6,7,10,11,12"}, // case matters: "Na+" has a small a
        {" : 1 @ CA ", "2"},
        {"@13-99", "5: The atom mask \"@13-99\" selects none of the topology's 12 atoms"},
        {":XYZ", "5: The atom mask \":XYZ\" selects none of the topology's 12 atoms"},
        {"", "5: The atom mask \"\" is empty"},
        {":", "5: The atom mask \":\" lacks a residue name or number at column 2"},
        {":1,@CA", "5: The atom mask \":1,@CA\" lacks a residue name or number at column 4"},
        {":1-",
         "5: The atom mask \":1-\" has the range \"1-\", which is not two numbers such as 1-25"},
        {":5-3", "5: The atom mask \":5-3\" has the range \"5-3\", which runs backwards"},
        {"(:1", "5: The atom mask \"(:1\" has a '(' without its ')'"},
        {":1 :2", "5: The atom mask \":1 :2\" has \":2\" where an operator or its end belongs"},
        {"CA",
         "5: The atom mask \"CA\" has \"CA\" where a selection (:residues or @atoms) belongs"},
        {":1&", "5: The atom mask \":1&\" ends where a selection (:residues or @atoms) belongs"},
    };
    for (const auto& [mask, atoms] : cases)
        EXPECT_EQ(selected(t, mask), atoms) << mask;
}

TEST(AmberMask, deepNestingIsRefusedNotAStackOverflow) {
    const amber_topology t = topology_of(test::prmtop(small));
    EXPECT_EQ(selected(t, std::string(100000, '!') + ":1"),
              "5: The atom mask \"" + std::string(100000, '!') +
                  ":1\" nests deeper than 100 levels");
    EXPECT_EQ(selected(t, std::string(50, '!') + ":1"), "1,2,3,4");
}

TEST(Prmtop, NamesWiderThanTheirColumnsStayApartAndDamagedSectionsAreNamed) {
    // Four-character names fill their columns: "HD21HD22" is two names.
    const amber_topology t =
        topology_of(test::prmtop({{"ASN", {"HD21", "HD22"}}, {"WAT", {"O", "H1", "H2"}}}));
    EXPECT_EQ(t.atom_names, (std::vector<std::string>{"HD21", "HD22", "O", "H1", "H2"}));
    EXPECT_EQ(t.residue_first_atom, (std::vector<std::uint64_t>{0, 2}));

    const std::string good = test::prmtop(small);
    const auto changed = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const auto at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return text.replace(at, from.size(), to);
    };
    const std::pair<std::string, const char*> cases[] = {
        {changed("%FLAG RESIDUE_POINTER", "%FLAG RESIDUE_POINTERS"),
         "59: Amber topology: no section %FLAG RESIDUE_POINTER (is this an Amber 7 or later "
         "prmtop?)"},
        {changed("OG  O   ", "OG  "),
         "59: Amber topology: section ATOM_NAME holds 11 items where POINTERS gives 12 atoms"},
        {changed("       1       5       8", "       1       8       5"),
         "59: Amber topology: section RESIDUE_POINTER has residue 3 start at atom 5, out of "
         "order or beyond the 12 atoms"},
        {changed("%FORMAT(10I8)\n      12", "%FORMAT(10I8)\n     1x2"),
         "13: Amber topology: section POINTERS holds \"1x2\" where a whole number belongs"},
        {changed("%FORMAT(20a4)\nSER", "%FORMAT(a4)\nSER"),
         "59: Amber topology: section RESIDUE_LABEL has the format line \"%FORMAT(a4)\", which "
         "is not like %FORMAT(20a4)"},
        {"", "59: Amber topology: no section %FLAG POINTERS (is this an Amber 7 or later "
             "prmtop?)"},
    };
    for (const auto& [text, report] : cases) {
        try {
            topology_of(text);
            ADD_FAILURE() << "read: " << report;
        } catch (const run_error& e) {
            EXPECT_EQ(std::to_string(e.number) + ": " + e.description, report);
        }
    }
}

// Masks against mdtraj's equivalent selections on the real topologies (load_prmtop, select;
// mdtraj numbers residues from 0, calls WAT HOH and renames the NME cap's HH31-HH33, so no mask
// here names those): count, first, last and sum of the atom numbers.
TEST(AmberMaskRealFiles, SelectTheSameAtomsAsMdtraj) {
    const auto amber = std::filesystem::path(QM_REAL_DATA) / "amber";
    if (!std::filesystem::exists(amber / "cpptraj_tz2.parm7"))
        GTEST_SKIP() << "the real Amber topologies are not in " << amber;
    const amber_topology tz2 = read_prmtop(amber / "cpptraj_tz2.parm7");
    const amber_topology oct = read_prmtop(amber / "cpptraj_tz2.truncoct.parm7");
    EXPECT_EQ(tz2.atoms(), 223u);
    EXPECT_EQ(oct.atoms(), 5827u);
    const struct {
        const amber_topology& t;
        const char* mask;
        std::uint64_t count, first, last, sum;
    } cases[] = {
        {tz2, ":1-13", 223, 1, 223, 24976},      // resid 0 to 12
        {tz2, "@CA", 12, 5, 198, 1175},          // name CA
        {tz2, ":1-5@CA", 5, 5, 78, 193},         // resid 0 to 4 and name CA
        {tz2, "@H*", 106, 2, 223, 12193},        // name =~ 'H.*'
        {tz2, ":1-3,7 | @CA", 66, 1, 198, 3089}, // resid 0 to 2 or resid 6 or name CA
        {oct, ":1-13", 220, 1, 220, 24310},
        {oct, "!:WAT", 220, 1, 220, 24310}, // not resname HOH
        {oct, ":WAT", 5607, 221, 5827, 16955568},
        {oct, ":WAT@O", 1869, 221, 5825, 5649987},
        {oct, "@H*", 3842, 2, 5827, 11317328},
        {oct, "@1-100", 100, 1, 100, 5050}, // index 0 to 99
        // Combinations, as set operations on mdtraj's selections.
        {tz2, "!@H* & :1-13", 117, 1, 220, 12783},
        {tz2, ":TRP,GLU@C*", 49, 16, 194, 5068},
        {oct, "!(:WAT | @H*)", 116, 1, 218, 12563},
        {oct, ":TRP,GLU@C*", 49, 16, 194, 5068},
    };
    for (const auto& c : cases) {
        const auto runs = select_atoms(c.t, c.mask);
        std::uint64_t sum = 0;
        for (const atom_run& r : runs)
            sum += r.count * (2 * r.first + r.count + 1) / 2;
        EXPECT_EQ(atoms_in(runs), c.count) << c.mask;
        EXPECT_EQ(runs.front().first + 1, c.first) << c.mask;
        EXPECT_EQ(runs.back().first + runs.back().count, c.last) << c.mask;
        EXPECT_EQ(sum, c.sum) << c.mask;
    }
}

} // namespace
} // namespace qm
