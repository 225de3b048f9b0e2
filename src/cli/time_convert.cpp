// quillmark-cli time-convert: the Time Conversion Tool without a display.
#include "cli/subcommand.h"
#include "units/time_conversion.h"

#include <memory>
#include <string>

namespace qm::cli {

action add_time_convert(CLI::App& app) {
    struct options {
        std::string input, output, unit;
    };
    auto o = std::make_shared<options>();
    app.add_option("--input", o->input, "Text file listing durations (- for standard input)")
        ->required();
    app.add_option("--output", o->output,
                   "File to write (created or truncated; - for standard output)")
        ->required();
    app.add_option("--unit", o->unit, "Unit of the totals")
        ->required()
        ->check(CLI::IsMember({"seconds", "minutes", "hours", "days"}));
    app.footer("Example: quillmark-cli time-convert --input runs.log --output hours.txt "
               "--unit hours");
    return [o](context& ctx) {
        return convert_time_file(input_path(o->input), output_path(ctx, o->output),
                                 *time_unit_named(o->unit),
                                 ctx.ui) == time_conversion_outcome::completed
                   ? completed
                   : stopped;
    };
}

} // namespace qm::cli
