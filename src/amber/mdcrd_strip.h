// Amber MDCRD atom stripper: copies a formatted Amber trajectory keeping one inclusive range of
// atoms in every frame.
//
// The trajectory: a title line; then per frame every atom's x, y and z as fields of exactly 8
// characters, 10 fields (80 characters) to a line, the frame's last line shorter when the
// field count is not a multiple of 10; periodic trajectories add one box line per frame
// (three box lengths, usually 24 characters). Every line ends in a line feed. Fields are
// copied character for character: no number is ever parsed or reformatted.
//
// Beside that text layout the job reads and writes Amber NetCDF trajectories (amber_netcdf.h),
// recognised by their first bytes, and keeps the atoms an Amber mask selects over a topology
// (amber_mask.h) instead of the range. Text fields written from NetCDF values are rounded to
// 8.3 columns from the stored floats.
#pragma once

#include "amber/amber_mask.h"
#include "platform/job_ui.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace qm {

// The layout of the output: by its name (a name ending in ".nc" is NetCDF), or as chosen.
enum class trajectory_format { by_name, text, netcdf };

struct mdcrd_strip_settings {
    std::filesystem::path input;
    std::filesystem::path output;
    std::uint64_t atoms = 1;      // atoms per frame of the input; 0: as the NetCDF file or the
                                  // topology says
    std::uint64_t first_atom = 1; // first atom kept, counted from 1
    std::uint64_t last_atom = 1;  // last atom kept, inclusive
    bool keep_box = false;        // copy the box lines; otherwise they are dropped
    // With a mask the kept atoms are those it selects over the topology (prmtop), in topology
    // order, and the range above is not used.
    std::filesystem::path topology{};
    std::string mask{};
    trajectory_format output_format = trajectory_format::by_name;
    // When not empty: the kept atom numbers (from 1) are written there, one per line, for
    // making the matching reduced topology.
    std::filesystem::path kept_atom_numbers{};
};

// How a trajectory is laid out, learnt from its title, its first frame and its whole length.
struct mdcrd_layout {
    std::string title;                  // the title line without its line feed
    std::uint64_t coordinate_bytes = 0; // one frame's coordinate lines with their line feeds
    std::uint64_t box_bytes = 0;        // one box line with its line feed; 0 without box lines
    std::uint64_t frames = 0;
    std::uint64_t frame_bytes() const { return coordinate_bytes + box_bytes; }
    std::uint64_t title_bytes() const { return title.size() + 1; }
    // The whole file: the title and every frame.
    std::uint64_t file_bytes() const { return title_bytes() + frames * frame_bytes(); }
};

enum class mdcrd_strip_outcome { completed, error_report };

inline constexpr std::string_view mdcrd_strip_routine = "frm_mdcrd_strip: cmd_execute_click";
inline constexpr std::string_view mdcrd_strip_done_title = "Conversion Finished";
inline constexpr std::string_view mdcrd_strip_done_text = "Conversion Complete";

// The three number boxes take digits and Backspace only.
bool accepts_atom_number_key(char key);

// Execute may run when all three boxes hold a whole number of at least 1 and
// start <= end <= total atoms.
bool atom_range_usable(std::string_view total_text, std::string_view start_text,
                       std::string_view end_text);

// With a mask Execute needs the topology and an atom count of at least 1; the range boxes are
// not used.
bool mask_selection_usable(std::string_view total_text, bool topology_chosen);

// The atom count a NetCDF trajectory holds, for the window to show once the input is chosen; 0
// for a text trajectory or a file that cannot be read (Execute reports why).
std::uint64_t netcdf_atom_count(const std::filesystem::path& input);

// Whether the settings ask for a NetCDF output.
bool writes_netcdf(const mdcrd_strip_settings& settings);

// Reads the title and the first frame (whether frames carry box lines), then streams every
// frame once, checking it against `atoms` and counting it; plain, compressed or from a pipe
// alike, in memory of a few frames. A file that does not match (another atom count, CR LF line
// ends, a last frame cut short) is a run error that says what is wrong.
mdcrd_layout read_mdcrd_layout(const std::filesystem::path& input, std::uint64_t atoms);

// Checks the whole trajectory first (read_mdcrd_layout), then writes the title and the kept fields
// of every frame, 10 to a line, and the box lines when asked to. Progress: "Bytes Processed = " and
// "Bytes Remaining = " on the two count labels, the bar in bytes. Ends in "Conversion Complete"
// or the routine's error report (number form); nothing is written when the check fails.
// A NetCDF input is streamed frame by frame with progress in frames ("Frames Processed = ");
// its atom count, the topology's and a given count must agree, and a mask must select an atom,
// before anything is written.
mdcrd_strip_outcome strip_mdcrd_atoms(const mdcrd_strip_settings& settings, JobUi& ui);

} // namespace qm
