// The program's version and the text of its version history window.
#pragma once

#include <string>
#include <string_view>

namespace qm {

inline constexpr std::string_view program_version = "Version 1.8 Beta 1";

// Every release, newest first: its heading, a rule of 30 minus signs, an empty line, the
// numbered changes and two empty lines. Every line, the empty ones included, ends with CR LF.
std::string version_history_text();

} // namespace qm
