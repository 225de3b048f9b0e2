// Lines and fields of the data-column files the phase correction and the spectral density
// reader take. Such files come from programs on every platform, so a line ends with a carriage
// return, a line feed, or the two together (CR LF counts once); fields stand between blanks.
#pragma once

#include "platform/line_reader.h"

#include <cstdint>
#include <filesystem>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

class data_line_reader {
public:
    // A missing or unreadable file is the matching run error.
    explicit data_line_reader(const std::filesystem::path& path);
    explicit data_line_reader(std::istream& in);

    // Next line, without its end, into `line`; false at the end of the data.
    bool next(std::string& line);
    // Whether the line last returned had a line end (only the last line of a file may lack it).
    bool line_ended() const { return ended_; }
    // Bytes consumed so far, up to and including the end of the line last returned.
    std::uint64_t position() const { return position_; }

private:
    // The platform reader splits at line feeds; the carriage returns inside each of its lines
    // are split here.
    line_reader lines_;
    std::string lf_line_;
    std::size_t pending_ = std::string::npos; // start of the next part of lf_line_
    bool lf_ended_ = false;
    std::uint64_t base_ = 0; // position of lf_line_'s first byte
    std::uint64_t position_ = 0;
    bool ended_ = false;
};

// The fields of a line, separated by runs of blanks. A field is the text up to the next blank;
// after it the scan goes on at the next character that is not a blank, and the line is done
// once a field reaches its end. So a line that starts with a blank has an empty first field,
// a line that ends with blanks has one empty field after its last one, an empty line has one
// empty field, and the last field is taken whatever its length, one character included.
std::vector<std::string_view> blank_fields(std::string_view line);

} // namespace qm
