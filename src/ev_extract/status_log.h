// "execution_status.dat": what the extraction does, line by line (CR LF), so a long unattended
// run can be followed and a failure traced to its file. Lines reach the file within a quarter
// of a second of being written, and all of them when the log is closed or abandoned.
#pragma once

#include "ev_extract/ev_settings.h"
#include "platform/output_file.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <string_view>

namespace qm {

inline constexpr std::string_view status_log_name = "execution_status.dat";

class status_log {
public:
    // Creates the log anew (an earlier one is replaced); a log that cannot be created is a
    // run error.
    void open(const std::filesystem::path& path);
    bool is_open() const { return file_ != nullptr; }
    // Nothing when the log is not open.
    void line(std::string_view text);
    // The normal end, checked.
    void close();

private:
    std::unique_ptr<output_file> file_; // an abandoned log is closed by its destructor
    std::chrono::steady_clock::time_point last_flush_{};
};

// Start time, options summary and job list.
void write_status_header(status_log& log, const ev_settings& s);

} // namespace qm
