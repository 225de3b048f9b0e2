// The Mathematica notebook that draws the TDMs of one root slot, one per file of the series,
// as arrows from the origin. The raw TDM output and the TDM alignment both write it, in three
// steps, each opening the file, writing and closing it again:
//
//   head      99 fixed lines (the title, the arrow code, "Cell[BoxData[") ending in the open
//             list "    \(ES1TDMs = {" with no line end, so the first element continues it
//   element   per file: {{0,0,0},{ x , y , z }}, in print forms, "}}" for the last file
//   trailer   27 fixed lines closing the list and drawing the plot, with "State " + slot
//
// Every line ends with CR LF except the head's last. A caller that stops early leaves a
// notebook with the head and some elements but no trailer.
#pragma once

#include <filesystem>
#include <string>

namespace qm {

// The 99 head lines joined by CR LF; the last one stays open.
std::string notebook_head();

// One element of the TDM list with its line end: the arrow from the origin to (x, y, z).
// The last element of the list closes with "}}" instead of "}},".
std::string notebook_element(double x, double y, double z, bool last);

// The 27 trailer lines, each with its line end; `slot` labels the plot "State " + slot.
std::string notebook_trailer(long long slot);

// Creates `path` (replacing an existing file) holding the head. Checked: run errors on failure.
void write_notebook_head(const std::filesystem::path& path);
// Appends one element to `path`. Checked.
void append_notebook_element(const std::filesystem::path& path, double x, double y, double z,
                             bool last);
// Appends the trailer to `path`. Checked.
void append_notebook_trailer(const std::filesystem::path& path, long long slot);

} // namespace qm
