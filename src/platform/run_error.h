// Unexpected run-time failures of a job, numbered and worded as the classic BASIC run-time
// errors our users know from every earlier version of the program.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace qm {

struct run_error : std::runtime_error {
    run_error(int number, std::string description);

    // The classic error of that number with its usual text ("File not found" for 53).
    static run_error from_number(int number);

    // Names the file the failure concerns, unless an inner step named one already.
    run_error& in_file(const std::filesystem::path& path);

    int number;
    std::string description;
    // The file it concerns, when known: the command line prints it beside the report.
    std::filesystem::path file;
};

// The step on a file a system call failed in: the same errno means a different classic error
// when opening an input (the file is missing) than when creating an output or writing to it.
enum class file_step { open, create, write };

// A system error (errno) met on a file as the classic error of the same meaning, naming the
// file: every reader and writer reads errno here, so a full disk or a refused folder is
// reported alike everywhere. A missing folder on the way is "Path not found" (76).
run_error file_failure(const std::filesystem::path& path, int system_error, file_step step);

// The usual text of a classic error number; "Application-defined or object-defined error"
// for numbers without one.
std::string run_error_text(int number);

// The value itself when it is finite; an arithmetic result beyond a double (inf or NaN) is the
// classic "Overflow" (6), so it never reaches an output file.
double finite_or_overflow(double value);

namespace err {
inline constexpr int invalid_call = 5;
inline constexpr int overflow = 6;
inline constexpr int out_of_memory = 7;
inline constexpr int subscript = 9;
inline constexpr int division_by_zero = 11;
inline constexpr int type_mismatch = 13;
inline constexpr int out_of_string_space = 14;
inline constexpr int file_not_found = 53;
inline constexpr int file_already_open = 55;
inline constexpr int file_exists = 58;
inline constexpr int bad_record_length = 59;
inline constexpr int disk_full = 61;
inline constexpr int past_end = 62;
inline constexpr int permission_denied = 70;
inline constexpr int path_file_access = 75;
inline constexpr int path_not_found = 76;
} // namespace err

} // namespace qm
