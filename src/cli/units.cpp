// quillmark-cli units: the Unit Conversion window without a display. VALUE is what the input
// box could hold (digits and points) and the result is the output box's text.
#include "cli/subcommand.h"
#include "platform/val.h"
#include "units/unit_conversion.h"

#include <memory>
#include <ostream>
#include <string>

namespace qm::cli {
namespace {

struct units_options {
    std::string from, to, value;
};

int run_units(const units_options& o, context& ctx) {
    const conversion_unit from = *unit_named(o.from);
    const conversion_unit to = *unit_named(o.to);
    if (!conversion_factor(from, to))
        throw usage_error("cannot convert " + o.from + " to " + o.to +
                          " (the same unit, or energy against mass)");
    for (const char c : o.value)
        if (!accepts_value_key(c))
            throw usage_error("VALUE takes digits and a decimal point only, not " + o.value);
    if (!is_number(o.value))
        throw usage_error("VALUE is not a number: " +
                          (o.value.empty() ? std::string("an empty text") : o.value));
    const auto result = update_conversion(o.value, from, to);
    if (!result)
        throw usage_error("VALUE is too large to convert: " + o.value);
    ctx.out << *result << '\n';
    return completed;
}

} // namespace

action add_units(CLI::App& app) {
    auto o = std::make_shared<units_options>();
    const auto names = CLI::IsMember({"hartree", "kjmol", "kcalmol", "ev", "amu", "kg"});
    app.add_option("--from", o->from, "Input unit")->required()->check(names);
    app.add_option("--to", o->to, "Output unit")->required()->check(names);
    app.add_option("VALUE", o->value, "The number to convert (digits and a point)")->required();
    app.footer("Example: quillmark-cli units --from hartree --to kjmol 1");
    return [o](context& ctx) { return run_units(*o, ctx); };
}

} // namespace qm::cli
