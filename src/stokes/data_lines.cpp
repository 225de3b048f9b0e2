#include "stokes/data_lines.h"

namespace qm {

data_line_reader::data_line_reader(const std::filesystem::path& path)
    : lines_(path, last_line::may_end_without_lf) {}

data_line_reader::data_line_reader(std::istream& in) : lines_(in, last_line::may_end_without_lf) {}

bool data_line_reader::next(std::string& line) {
    if (pending_ == std::string::npos) {
        base_ = lines_.position();
        if (!lines_.next(lf_line_))
            return false;
        // The platform reader counts the line feed it consumed; an unterminated tail has none.
        lf_ended_ = lines_.position() - base_ > lf_line_.size();
        pending_ = 0;
    }
    const std::uint64_t lf_line_end = base_ + lf_line_.size() + (lf_ended_ ? 1 : 0);
    const std::size_t cr = lf_line_.find('\r', pending_);
    if (cr == std::string::npos) {
        line.assign(lf_line_, pending_);
        ended_ = lf_ended_;
        position_ = lf_line_end;
        pending_ = std::string::npos;
        return true;
    }
    line.assign(lf_line_, pending_, cr - pending_);
    ended_ = true;
    if (cr + 1 == lf_line_.size()) { // CR LF, or a CR that ends the data: one line end
        position_ = lf_line_end;
        pending_ = std::string::npos;
    } else {
        position_ = base_ + cr + 1;
        pending_ = cr + 1;
    }
    return true;
}

std::vector<std::string_view> blank_fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t blank = line.find(' ', start);
        if (blank == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, blank - start));
        start = line.find_first_not_of(' ', blank);
        if (start == std::string_view::npos)
            start = line.size(); // blanks to the end: one empty field follows
    }
}

} // namespace qm
