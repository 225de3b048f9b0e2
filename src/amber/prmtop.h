// Amber topology (prmtop, "parm7") files: the atom and residue names and the residue bounds a
// mask selects by. The file is a row of sections, each a "%FLAG NAME" line, a "%FORMAT(20a4)"
// line giving the items per line and their width, and the data lines:
//
//   POINTERS         (10I8)  item 1 the atom count, item 12 the residue count
//   ATOM_NAME        (20a4)  one name per atom, left-justified, blank-padded
//   RESIDUE_LABEL    (20a4)  one name per residue
//   RESIDUE_POINTER  (10I8)  the number (from 1) of each residue's first atom, increasing
//
// Items are cut from the lines by the width the section's own %FORMAT gives, never by blanks,
// so names that fill their four columns ("HD21" beside "HD22") stay apart.
#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <string>
#include <vector>

namespace qm {

struct amber_topology {
    std::vector<std::string> atom_names;           // blanks at either end removed
    std::vector<std::string> residue_labels;       // the same
    std::vector<std::uint64_t> residue_first_atom; // index (from 0) of each residue's first atom
    std::uint64_t atoms() const { return atom_names.size(); }
};

// Reads the four sections; a file without them, or whose sections disagree (a name count that
// is not the atom count, residue bounds out of order), is a run error saying which section is
// wrong, naming the file.
amber_topology read_prmtop(const std::filesystem::path& path);
amber_topology read_prmtop(std::istream& in);

} // namespace qm
