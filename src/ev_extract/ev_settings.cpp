#include "ev_extract/ev_settings.h"

#include "platform/text.h"
#include "platform/val.h"

#include <cmath>
#include <ctime>

namespace qm {
ev_settings ev_settings_from(const ev_texts& texts, const ev_choices& choices) {
    ev_settings s;
    s.texts = texts;
    s.choices = choices;
    s.output_prefix = trim_blanks(texts.output_prefix);
    s.time_step = val(texts.time_step);
    s.points = val(texts.points);
    s.root_start = strict_whole(texts.root_start);
    s.root_end = choices.root_end_all ? highest_state : strict_whole(texts.root_end);
    s.limit_low = val(texts.limit_low);
    s.limit_high = val(texts.limit_high);
    s.no_roots = strict_whole(texts.no_roots);
    s.orb1_from = strict_whole(texts.orb1_from);
    s.orb1_to = strict_whole(texts.orb1_to);
    s.orb2_from = strict_whole(texts.orb2_from);
    s.orb2_to = strict_whole(texts.orb2_to);
    s.input = input_kind_for(choices.zipped, texts.suffix);
    s.now = local_time_and_date;
    return s;
}

bool tdm_separate_enabled(const ev_choices& c) {
    return c.tdm_data;
}

bool align_only_enabled(const ev_texts& t, const ev_choices& c) {
    return c.rel_tdm && val(t.no_roots) > 1;
}

bool orbital_controls_enabled(const ev_texts& t, const ev_choices& c) {
    return c.mode == extract_mode::orbital_profile && val(t.no_roots) < 3;
}

bool tdm_angle_enabled(const ev_texts& t) {
    return val(t.no_roots) == 2;
}

bool rel_tdm_enabled(const ev_texts& t) {
    return std::trunc(val(t.interval)) == 1;
}

bool execute_enabled(const ev_texts& t) {
    return !t.output_prefix.empty() && !t.time_step.empty() && !t.points.empty() &&
           !t.root_start.empty() && !t.root_end.empty();
}

bool accepts_digit_key(char key) {
    return (key >= '0' && key <= '9') || key == '\b';
}

bool accepts_decimal_key(char key) {
    return accepts_digit_key(key) || key == '.';
}

std::string local_time_and_date() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[64];
    std::strftime(buf, sizeof buf, "%H:%M:%S %d/%m/%Y", &local);
    return buf;
}

} // namespace qm
