#include "platform/output_file.h"

#include "platform/run_error.h"

#include <cerrno>

namespace qm {
namespace {

run_error write_failure(int error_number) {
    if (error_number == ENOSPC || error_number == EDQUOT)
        return run_error::from_number(err::disk_full);
    return run_error::from_number(err::path_file_access);
}

run_error create_failure(const std::filesystem::path& path, int error_number) {
    std::error_code ec;
    const auto parent = path.parent_path();
    if (error_number == ENOENT && !parent.empty() && !std::filesystem::exists(parent, ec))
        return run_error::from_number(err::path_not_found);
    if (error_number == EACCES || error_number == EPERM || error_number == EROFS)
        return run_error::from_number(err::permission_denied);
    return write_failure(error_number);
}

} // namespace

output_file::output_file(const std::filesystem::path& path, mode how) {
    if (path.empty())
        throw run_error::from_number(err::path_file_access);
    errno = 0;
    file_ = std::fopen(path.c_str(), how == mode::append ? "ab" : "wb");
    if (file_ == nullptr)
        throw create_failure(path, errno);
}

output_file::~output_file() {
    if (file_ != nullptr)
        std::fclose(file_);
}

void output_file::write(std::string_view bytes) {
    if (file_ == nullptr)
        throw run_error::from_number(err::path_file_access);
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        throw write_failure(errno);
}

void output_file::flush() {
    errno = 0;
    if (file_ != nullptr && std::fflush(file_) != 0)
        throw write_failure(errno);
}

void output_file::close() {
    if (file_ == nullptr)
        return;
    std::FILE* f = file_;
    file_ = nullptr;
    errno = 0;
    const bool flushed = std::fflush(f) == 0;
    const int flush_errno = errno;
    errno = 0;
    const bool closed = std::fclose(f) == 0;
    if (!flushed)
        throw write_failure(flush_errno);
    if (!closed)
        throw write_failure(errno);
}

void write_whole_file(const std::filesystem::path& path, std::string_view bytes) {
    output_file out(path);
    out.write(bytes);
    out.close();
}

void ensure_distinct_files(const std::filesystem::path& input,
                           const std::filesystem::path& output) {
    std::error_code ec;
    if (std::filesystem::equivalent(input, output, ec) && !ec)
        throw run_error::from_number(err::file_already_open);
}

void append_file(const std::filesystem::path& path, std::string_view bytes) {
    output_file out(path, output_file::mode::append);
    out.write(bytes);
    out.close();
}

} // namespace qm
