// quillmark-cli phase-correct: the Phase Correction Utility without a display. The column is
// the text of the window's phase column box and goes through the same check.
#include "cli/subcommand.h"
#include "stokes/phase_correction.h"

#include <memory>
#include <string>

namespace qm::cli {

action add_phase_correct(CLI::App& app) {
    struct options {
        std::string input, output;
        phase_correction_settings settings;
    };
    auto o = std::make_shared<options>();
    app.add_option("--input", o->input,
                   "Text file with a column of phases (radians; - for standard input)")
        ->required();
    app.add_option("--output", o->output,
                   "Corrected file to write (created or replaced; - for standard output)")
        ->required();
    app.add_option("--column", o->settings.phase_column, "Number of the phase field, from 1")
        ->check(count_in_range(2147483647))
        ->capture_default_str();
    app.footer("Example: quillmark-cli phase-correct --input phase.dat --output unwrapped.dat "
               "--column 3");
    return [o](context& ctx) {
        phase_correction_settings s = o->settings;
        s.input = input_path(o->input);
        s.output = output_path(ctx, o->output);
        return correct_phases(s, ctx.ui) == phase_correction_outcome::completed ? completed
                                                                                : stopped;
    };
}

} // namespace qm::cli
