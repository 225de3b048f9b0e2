#include "platform/line_reader.h"

#include "platform/run_error.h"

#include <cstring>

namespace qm {
namespace {

constexpr std::size_t chunk_size = 1 << 16;

} // namespace

line_reader::line_reader(const std::filesystem::path& path, last_line rule)
    : file_(open_input(path)), in_(file_.get()), rule_(rule) {}

line_reader::line_reader(std::istream& in, last_line rule) : in_(&in), rule_(rule) {}

bool line_reader::fill() {
    if (start_ > 0) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
    const std::size_t old = buffer_.size();
    buffer_.resize(old + chunk_size);
    in_->read(buffer_.data() + old, static_cast<std::streamsize>(chunk_size));
    const auto got = static_cast<std::size_t>(in_->gcount());
    buffer_.resize(old + got);
    if (in_->bad())
        throw run_error(57, "Device I/O error");
    // Text holds no NUL bytes; binary data (or an archive inside an archive) would otherwise
    // read as lines of garbage. The first block tells.
    if (!first_block_checked_ && got > 0) {
        first_block_checked_ = true;
        if (std::memchr(buffer_.data() + old, '\0', got) != nullptr)
            throw run_error(err::path_file_access,
                            "Path/File access error - not a text file (NUL bytes in its first "
                            "block)");
    }
    return got > 0;
}

bool line_reader::next(std::string& line) {
    try {
        return next_line(line);
    } catch (run_error& e) {
        if (file_)
            e.in_file(file_->path());
        throw;
    }
}

bool line_reader::next_line(std::string& line) {
    std::size_t scanned = start_;
    for (;;) {
        const char* base = buffer_.data();
        const void* lf = scanned < buffer_.size()
                             ? std::memchr(base + scanned, '\n', buffer_.size() - scanned)
                             : nullptr;
        if (lf != nullptr) {
            const auto end = static_cast<std::size_t>(static_cast<const char*>(lf) - base);
            line.assign(base + start_, end - start_);
            position_ += end - start_ + 1;
            start_ = end + 1;
            ++lines_;
            line_ended_ = true;
            return true;
        }
        const std::size_t pending = buffer_.size() - start_;
        // No line of text is this long: a file without line feeds (binary data, a device)
        // would otherwise be held whole.
        if (pending > max_line_bytes)
            throw beyond_limit(max_line_bytes, "in one line (not a text file?)");
        if (!fill()) {
            if (pending == 0)
                return false;
            if (rule_ == last_line::must_end_with_lf)
                throw run_error::from_number(err::past_end);
            line.assign(buffer_.data() + start_, pending);
            position_ += pending;
            start_ = buffer_.size();
            ++lines_;
            line_ended_ = false;
            return true;
        }
        scanned = pending; // fill() moved the unread bytes, already searched, to the front
    }
}

void line_reader::next_required(std::string& line) {
    if (next(line))
        return;
    run_error e = run_error::from_number(err::past_end);
    if (file_)
        e.in_file(file_->path());
    throw e;
}

data_line_reader::data_line_reader(const std::filesystem::path& path)
    : lines_(path, last_line::may_end_without_lf) {}

data_line_reader::data_line_reader(std::istream& in) : lines_(in, last_line::may_end_without_lf) {}

bool data_line_reader::next(std::string& line) {
    if (pending_ == std::string::npos) {
        base_ = next_base_;
        if (!lines_.next(lf_line_))
            return false;
        lf_ended_ = lines_.line_ended();
        next_base_ = base_ + lf_line_.size() + (lf_ended_ ? 1 : 0);
        pending_ = 0;
    }
    const std::uint64_t lf_line_end = next_base_;
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

} // namespace qm
