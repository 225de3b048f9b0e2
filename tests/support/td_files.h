// Builders of Gaussian CIS/TD output texts in the program's own layout, and of series of them.
#pragma once

#include "support/gaussian_files.h"
#include "support/test_support.h"

#include <archive.h>
#include <archive_entry.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace qm::test {

struct td_state {
    double energy, oscillator;
    std::vector<std::string> transitions = {"      23 ->25         0.65000"};
    double x = 0, y = 0, z = 0;
};

inline const std::string default_scf =
    " SCF Done:  E(RB+HF-LYP) =  -539.517603521     A.U. after   14 cycles";
inline const std::string default_structure = " C                     0.        0.        0. \n"
                                             " O                     0.        0.        1.2 \n";

// A TD output: charge block, SCF line, transition dipole table, one block per state.
inline std::string td_output(const std::vector<td_state>& states,
                             const std::string& scf = default_scf,
                             const std::string& structure = default_structure) {
    std::string t = " Entering Gaussian System\n Charge =  0 Multiplicity = 1\n" + structure +
                    " \n                    Isotopes and Nuclear Properties:\n"
                    " Leave Link  101 at Fri\n" +
                    scf +
                    "\n Ground to excited state Transition electric dipole moments (Au):\n"
                    "       state          X           Y           Z          Osc.\n";
    int r = 0;
    for (const auto& s : states)
        t += fixed(++r, 10, 0) + fixed(s.x, 15, 4) + fixed(s.y, 12, 4) + fixed(s.z, 12, 4) +
             fixed(s.oscillator, 12, 4) + "\n";
    t += " Excitation energies and oscillator strengths:\n \n";
    r = 0;
    for (const auto& s : states) {
        t += " Excited State" + fixed(++r, 4, 0) + ":   Singlet-?Sym" + fixed(s.energy, 10, 4) +
             " eV" + fixed(1239.84 / s.energy, 8, 2) + " nm  f=" + fixed(s.oscillator, 0, 4) + "\n";
        for (const auto& line : s.transitions)
            t += line + "\n";
        t += " \n";
    }
    return t + " Leave Link  914\n Normal termination of Gaussian 03.\n";
}

// Entries in the format `set_format` chooses, through `add_filter` if any; "name/" a folder.
inline void write_archive(const std::filesystem::path& path,
                          const std::vector<std::pair<std::string, std::string>>& entries,
                          int (*set_format)(archive*), int (*add_filter)(archive*) = nullptr) {
    archive* a = archive_write_new();
    if (add_filter != nullptr)
        add_filter(a);
    set_format(a);
    archive_write_open_filename(a, path.c_str());
    for (const auto& [name, content] : entries) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, name.c_str());
        const bool folder = name.ends_with('/');
        archive_entry_set_filetype(e, folder ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(e, folder ? 0755 : 0644);
        archive_entry_set_size(e, static_cast<la_int64_t>(content.size()));
        archive_write_header(a, e);
        archive_write_data(a, content.data(), content.size());
        archive_entry_free(e);
    }
    archive_write_close(a);
    archive_write_free(a);
}

// `content` compressed by one of libarchive's write filters (archive_write_add_filter_gzip,
// _bzip2, _xz, _zstd).
inline void write_compressed(const std::filesystem::path& path, const std::string& content,
                             int (*add_filter)(archive*)) {
    write_archive(path, {{"data", content}}, archive_write_set_format_raw, add_filter);
}

inline void write_gzip(const std::filesystem::path& path, const std::string& content) {
    write_compressed(path, content, archive_write_add_filter_gzip);
}

inline void write_zip_entries(const std::filesystem::path& path,
                              const std::vector<std::pair<std::string, std::string>>& entries) {
    write_archive(path, entries, archive_write_set_format_zip);
}

inline void write_zip(const std::filesystem::path& path, const std::string& content) {
    write_zip_entries(path, {{"job.log", content}});
}

} // namespace qm::test
