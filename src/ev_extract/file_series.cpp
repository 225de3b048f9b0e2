#include "ev_extract/file_series.h"

#include "platform/number_form.h"
#include "platform/val.h"

#include <cctype>
#include <cmath>

namespace qm {

picked_file pick_series_file(std::string_view full_path, std::string_view file_title) {
    picked_file out;
    out.data_path = std::string(
        full_path.substr(0, full_path.size() - std::min(full_path.size(), file_title.size())));
    const std::size_t dot = file_title.find('.');
    out.suffix = dot == std::string_view::npos ? "" : std::string(file_title.substr(dot));
    std::string_view prefix = file_title.substr(0, std::min(dot, file_title.size()));
    while (!prefix.empty() && std::isdigit(static_cast<unsigned char>(prefix.back())))
        prefix.remove_suffix(1);
    out.prefix = std::string(prefix);
    auto ends_with = [&](std::string_view end) {
        if (full_path.size() < end.size())
            return false;
        for (std::size_t i = 0; i < end.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(
                    full_path[full_path.size() - end.size() + i])) != end[i])
                return false;
        return true;
    };
    out.compressed = ends_with(".gz") || ends_with(".zip");
    return out;
}

scan_result scan_file_series(const series_texts& texts, const std::string& data_path) {
    scan_result out;
    out.series.data_path = data_path;
    const double interval = round_half_even(strict_double(texts.interval));
    const double first = strict_double(texts.start);
    const double last = std::trunc(strict_double(texts.end));
    // An interval below 1 would never reach the end of the range.
    if (interval < 1)
        return out;
    const auto step = static_cast<long long>(interval);
    file_series& s = out.series;
    s.slot_interval = step;
    s.file_names.assign(1, "");
    long long slot = 1;
    for (double n = first; last >= n; n += interval, slot += step) {
        s.file_names.resize(static_cast<std::size_t>(slot) + 1);
        s.file_names[static_cast<std::size_t>(slot)] = texts.prefix + text_form(n) + texts.suffix;
        if (last < interval)
            return out;
    }
    s.file_count = slot - step;
    out.valid = true;
    return out;
}

} // namespace qm
