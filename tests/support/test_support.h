// A private temporary folder, whole-file reads and writes, a JobUi that records everything.
#pragma once

#include "platform/job_ui.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace qm::test {

class temp_dir {
public:
    temp_dir() {
        std::string name = std::filesystem::temp_directory_path() / "quillmark-test-XXXXXX";
        path_ = mkdtemp(name.data());
    }
    // Owner rights back first: a test may have shut the folder.
    ~temp_dir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    temp_dir(const temp_dir&) = delete;
    temp_dir& operator=(const temp_dir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline void write_file(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The lines without their line feeds; a last line without one counts too.
inline std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

struct recorded_message {
    message_icon icon;
    std::string title, text;
};

class recording_ui : public JobUi {
public:
    void status(std::string_view text) override { statuses.emplace_back(text); }
    void counts(std::string_view first, std::string_view second) override {
        count_texts = {std::string(first), std::string(second)};
    }
    void progress_range(long long minimum, long long maximum) override {
        progress_min = minimum;
        progress_max = maximum;
    }
    void progress_value(long long value) override {
        EXPECT_GE(value, progress_min);
        EXPECT_LE(value, progress_max);
        progress = value;
    }
    void progress_to_maximum() override { progress = progress_max; }
    void repaint() override {}
    void busy(bool on) override { busy_calls.push_back(busy_now = on); }
    void message(message_icon icon, std::string_view title, std::string_view text) override {
        messages.push_back({icon, std::string(title), std::string(text)});
        busy_at_message.push_back(busy_now);
    }

    std::vector<std::string> statuses;
    std::pair<std::string, std::string> count_texts;
    long long progress_min = 0, progress_max = 0, progress = 0;
    bool busy_now = false;
    std::vector<bool> busy_calls, busy_at_message;
    std::vector<recorded_message> messages;
};

} // namespace qm::test
