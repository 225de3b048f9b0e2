#include "platform/line_reader.h"

#include "platform/run_error.h"

#include <cstring>

namespace qm {
namespace {

constexpr std::size_t chunk_size = 1 << 16;

} // namespace

line_reader::line_reader(const std::filesystem::path& path, last_line rule, line_ends ends)
    : file_(open_input(path)), in_(file_.get()), rule_(rule), ends_(ends) {}

line_reader::line_reader(std::istream& in, last_line rule, line_ends ends)
    : in_(&in), rule_(rule), ends_(ends) {}

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

std::size_t line_reader::line_end(std::size_t from) const {
    if (from >= buffer_.size())
        return std::string::npos;
    const char* base = buffer_.data();
    const std::size_t size = buffer_.size();
    const void* lf = std::memchr(base + from, '\n', size - from);
    const std::size_t lf_at = lf == nullptr
                                  ? std::string::npos
                                  : static_cast<std::size_t>(static_cast<const char*>(lf) - base);
    if (ends_ == line_ends::lf)
        return lf_at;
    // A carriage return before the line feed (or anywhere when there is none) ends the line.
    const std::size_t cr_span = (lf_at == std::string::npos ? size : lf_at) - from;
    const void* cr = std::memchr(base + from, '\r', cr_span);
    return cr == nullptr ? lf_at : static_cast<std::size_t>(static_cast<const char*>(cr) - base);
}

bool line_reader::next_line(std::string& line) {
    std::size_t scanned = start_;
    for (;;) {
        std::size_t end = line_end(scanned);
        if (end != std::string::npos) {
            if (buffer_[end] == '\r' && end + 1 == buffer_.size()) {
                // Whether a line feed follows decides if this end is one byte or two.
                const std::size_t consumed = start_;
                if (fill()) {
                    scanned = end - consumed;
                    continue;
                }
                end -= consumed; // fill() moved the unread bytes to the front all the same
            }
            const bool cr_lf =
                buffer_[end] == '\r' && end + 1 < buffer_.size() && buffer_[end + 1] == '\n';
            const std::size_t after = end + (cr_lf ? 2 : 1);
            line.assign(buffer_.data() + start_, end - start_);
            position_ += after - start_;
            start_ = after;
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

} // namespace qm
