#include "platform/cartesian_atom.h"

#include "platform/val.h"

namespace qm {
namespace {

constexpr std::size_t coordinates = 3;

bool is_freeze_code(std::string_view field) {
    const std::size_t sign = field.front() == '-' || field.front() == '+' ? 1 : 0;
    return sign < field.size() &&
           field.find_first_not_of("0123456789", sign) == std::string_view::npos &&
           val(field) <= 0;
}

bool numbers_from(const std::vector<std::string_view>& fields, std::size_t first) {
    if (fields.size() < first + coordinates)
        return false;
    for (std::size_t i = first; i < first + coordinates; ++i)
        if (!is_number(fields[i]))
            return false;
    return true;
}

} // namespace

std::optional<std::size_t> cartesian_x_field(const std::vector<std::string_view>& fields) {
    if (fields.size() > 1 && is_freeze_code(fields[1]) && numbers_from(fields, 2))
        return 2;
    if (numbers_from(fields, 1))
        return 1;
    return std::nullopt;
}

} // namespace qm
