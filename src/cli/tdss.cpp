// quillmark-cli tdss: the Time Dependent Stokes Shift window's steps without a display: reads
// the spectral density as its step 3 does (column 1 the wavenumber, column 2 J), then computes
// the Stokes shift function S(t) and the reorganisation energy as its step 4 does.
#include "cli/subcommand.h"
#include "stokes/spectral_density.h"
#include "stokes/stokes_shift_function.h"

#include <memory>
#include <string>

namespace qm::cli {

action add_tdss(CLI::App& app) {
    struct options {
        std::string input, output;
        stokes_shift_function_settings settings;
    };
    auto o = std::make_shared<options>();
    app.add_option("--input", o->input, "Spectral density: wavenumber (cm-1) and J per row")
        ->required();
    app.add_option("--output", o->output, "S(t) as CSV: time (fs) and S")->required();
    app.add_option("--t-max", o->settings.t_max, "Last time (fs)")->capture_default_str();
    app.add_option("--t-step", o->settings.t_step, "Time step (fs)")->capture_default_str();
    app.footer("Example: quillmark-cli tdss --input J.dat --output S.csv --t-max 2000");
    return [o](context& ctx) {
        const spectral_density_result table = read_spectral_density(input_path(o->input), ctx.ui);
        if (table.outcome != spectral_density_outcome::completed)
            return stopped;
        return run_stokes_shift_function(table.table, o->settings, output_path(ctx, o->output),
                                         ctx.ui)
                   ? completed
                   : stopped;
    };
}

} // namespace qm::cli
