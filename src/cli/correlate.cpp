// quillmark-cli correlate: the Correlation Function Calculation window without a display.
// --msd and --unity are the window's two scalings, which exclude each other there as well.
#include "cli/subcommand.h"
#include "correlation/correlation_functions_module.h"

#include <memory>

namespace qm::cli {

action add_correlate(CLI::App& app) {
    auto o = std::make_shared<correlation_settings>();
    app.add_option("--input1", o->input1, "Series 1: one value per line")->required();
    app.add_option("--input2", o->input2, "Series 2 (the same file for an autocorrelation)")
        ->required();
    app.add_option("--output", o->output, "C(tau), one value per line (replaced)")->required();
    app.add_flag("--mean", o->adjust_by_mean, "Use the fluctuations of both series about the mean");
    auto* msd =
        app.add_flag("--msd", o->adjust_by_msd, "Divide by the mean square deviation of series 1");
    auto* unity = app.add_flag("--unity", o->norm_to_one, "Scale so that C(0) = 1");
    msd->excludes(unity);
    unity->excludes(msd);
    app.footer("Example: quillmark-cli correlate --input1 gap.dat --input2 gap.dat "
               "--output gap_acf.dat --mean --unity");
    return [o](context& ctx) {
        return run_correlation(*o, ctx.ui) == correlation_outcome::completed ? completed : stopped;
    };
}

} // namespace qm::cli
