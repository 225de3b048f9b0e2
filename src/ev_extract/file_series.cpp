#include "ev_extract/file_series.h"

#include "ev_extract/ev_series_table.h"

#include "platform/number_form.h"
#include "platform/val.h"

#include <cctype>
#include <algorithm>
#include <cmath>

namespace qm {

picked_file pick_series_file(std::string_view full_path, std::string_view file_title) {
    picked_file out;
    out.data_path = std::string(
        full_path.substr(0, full_path.size() - std::min(full_path.size(), file_title.size())));
    const std::size_t dot = file_title.find('.');
    out.suffix = dot == std::string_view::npos ? "" : std::string(file_title.substr(dot));
    const std::string_view stem = file_title.substr(0, std::min(dot, file_title.size()));
    std::string_view prefix = stem;
    while (!prefix.empty() && std::isdigit(static_cast<unsigned char>(prefix.back())))
        prefix.remove_suffix(1);
    out.prefix = std::string(prefix);
    const std::string_view number = stem.substr(prefix.size());
    out.numbered = !number.empty();
    out.digits = number.size() > 1 && number[0] == '0' ? static_cast<int>(number.size()) : 0;
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

std::string unnumbered_file_text(std::string_view file_title) {
    return "The file name " + std::string(file_title) +
           " holds no number: pick one file of a numbered series.";
}

std::string file_series::file_name(long long f) const {
    std::string number = text_form(first_number + static_cast<double>(f - 1));
    if (static_cast<int>(number.size()) < digits)
        number.insert(0, static_cast<std::size_t>(digits) - number.size(), '0');
    return prefix + number + suffix;
}

scan_result scan_file_series(const series_texts& texts, const std::string& data_path) {
    scan_result out;
    const double interval = round_half_even(strict_double(texts.interval));
    const double first = strict_double(texts.start);
    const double last = std::trunc(strict_double(texts.end));
    // An interval below 1 would never reach the end of the range; an end below the interval
    // was always refused, once the range held a file.
    if (interval < 1 || (last >= first && last < interval))
        return out;
    file_series& s = out.series;
    s.data_path = data_path;
    s.prefix = texts.prefix;
    s.suffix = texts.suffix;
    s.first_number = first;
    const double digits = strict_double(texts.digits);
    s.digits = static_cast<int>(std::clamp(std::trunc(digits), 0.0, double(max_file_digits)));
    if (last < first) { // no file: the tables cannot be sized, the job says so
        s.slot_interval = interval > max_series_span ? 1 : static_cast<long long>(interval);
        s.file_count = 1 - s.slot_interval;
        out.valid = true;
        return out;
    }
    // Files at first, first + interval, ... up to last; counted before anything is made.
    const double files = std::floor((last - first) / interval) + 1;
    const double span = (files - 1) * interval + 1;
    if (span > static_cast<double>(max_series_span)) {
        out.refusal = "The file range spans " + text_form(span) +
                      " file numbers; a series can span at most " +
                      std::to_string(max_series_span) + " file numbers.";
        return out;
    }
    if (auto refusal = ev_memory_refusal(files, 1, 1)) {
        out.refusal = std::move(refusal);
        return out;
    }
    s.slot_interval = static_cast<long long>(interval);
    s.file_count = static_cast<long long>(span);
    out.valid = true;
    return out;
}

void show_scan_refusal(const scan_result& result, JobUi& ui) {
    if (result.refusal)
        ui.message(message_icon::exclamation, series_refused_title, *result.refusal);
    else
        ui.message(message_icon::critical, interval_invalid_title, interval_invalid_text);
}

} // namespace qm
