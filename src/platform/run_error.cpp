#include "platform/run_error.h"

#include <cerrno>
#include <cmath>
#include <utility>

namespace qm {

run_error::run_error(int number_, std::string description_)
    : std::runtime_error(description_), number(number_), description(std::move(description_)) {}

run_error& run_error::in_file(const std::filesystem::path& path) {
    if (file.empty())
        file = path;
    return *this;
}

run_error run_error::from_number(int number) {
    return run_error(number, run_error_text(number));
}

run_error file_failure(const std::filesystem::path& path, int system_error, file_step step) {
    const auto classic = [&]() -> int {
        if (system_error == ENOSPC || system_error == EDQUOT)
            return err::disk_full;
        if (step == file_step::write)
            return err::path_file_access;
        if (system_error == ENOENT) {
            std::error_code ec;
            const auto parent = path.parent_path();
            if (!parent.empty() && !std::filesystem::exists(parent, ec))
                return err::path_not_found;
            return step == file_step::open ? err::file_not_found : err::path_file_access;
        }
        if (system_error == EACCES || system_error == EPERM || system_error == EROFS)
            return err::permission_denied;
        return err::path_file_access;
    };
    return run_error::from_number(classic()).in_file(path);
}

std::string run_error_text(int number) {
    switch (number) {
    case 3:
        return "Return without GoSub";
    case 5:
        return "Invalid procedure call or argument";
    case 6:
        return "Overflow";
    case 7:
        return "Out of memory";
    case 9:
        return "Subscript out of range";
    case 11:
        return "Division by zero";
    case 13:
        return "Type mismatch";
    case 14:
        return "Out of string space";
    case 52:
        return "Bad file name or number";
    case 53:
        return "File not found";
    case 54:
        return "Bad file mode";
    case 55:
        return "File already open";
    case 57:
        return "Device I/O error";
    case 58:
        return "File already exists";
    case 59:
        return "Bad record length";
    case 61:
        return "Disk full";
    case 62:
        return "Input past end of file";
    case 67:
        return "Too many files";
    case 70:
        return "Permission denied";
    case 75:
        return "Path/File access error";
    case 76:
        return "Path not found";
    default:
        return "Application-defined or object-defined error";
    }
}

double finite_or_overflow(double value) {
    if (!std::isfinite(value))
        throw run_error::from_number(err::overflow);
    return value;
}

} // namespace qm
