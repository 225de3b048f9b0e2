// quillmark-cli phase-correct: the Phase Correction Utility without a display. The column is
// the text of the window's phase column box and goes through the same check.
#include "cli/subcommand.h"
#include "stokes/phase_correction.h"

#include <memory>
#include <string>

namespace qm::cli {

action add_phase_correct(CLI::App& app) {
    auto o = std::make_shared<phase_correction_settings>();
    app.add_option("--input", o->input, "Text file with a column of phases (radians)")->required();
    app.add_option("--output", o->output, "Corrected file to write (created or replaced)")
        ->required();
    app.add_option("--column", o->phase_column, "Number of the phase field, from 1")
        ->capture_default_str();
    app.footer("Example: quillmark-cli phase-correct --input phase.dat --output unwrapped.dat "
               "--column 3");
    return [o](context& ctx) {
        return correct_phases(*o, ctx.ui) == phase_correction_outcome::completed ? completed
                                                                                 : stopped;
    };
}

} // namespace qm::cli
