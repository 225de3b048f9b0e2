// quillmark-cli correlate: the Correlation Function Calculation window without a display.
// --msd and --unity are the window's two scalings, which exclude each other there as well.
// --method fft sums by Fourier transform, as the window's choice "FFT" does.
// "-" reads standard input (one series, or both when both are "-": an autocorrelation of a
// pipe) and writes standard output.
#include "cli/subcommand.h"
#include "correlation/correlation_functions_module.h"

#include <memory>

namespace qm::cli {

action add_correlate(CLI::App& app) {
    struct options {
        std::string input1, input2, output;
        std::string method = "exact";
        correlation_settings settings;
    };
    auto o = std::make_shared<options>();
    app.add_option("--input1", o->input1, "Series 1: one value per line (- for standard input)")
        ->required();
    app.add_option("--input2", o->input2, "Series 2 (the same file for an autocorrelation)")
        ->required();
    app.add_option("--output", o->output,
                   "C(tau), one value per line (replaced; - for standard output)")
        ->required();
    app.add_flag("--mean", o->settings.adjust_by_mean,
                 "Use the fluctuations of both series about the mean");
    auto* msd = app.add_flag("--msd", o->settings.adjust_by_msd,
                             "Divide by the mean square deviation of series 1");
    auto* unity = app.add_flag("--unity", o->settings.norm_to_one, "Scale so that C(0) = 1");
    msd->excludes(unity);
    app.add_option("--method", o->method,
                   "exact: the direct sum in its exact order; fft: by Fourier transform, equal "
                   "within rounding and far faster on long series")
        ->capture_default_str()
        ->check(CLI::IsMember({"exact", "fft"}));
    unity->excludes(msd);
    app.footer("Example: quillmark-cli correlate --input1 gap.dat --input2 gap.dat "
               "--output gap_acf.dat --mean --unity");
    return [o](context& ctx) {
        correlation_settings s = o->settings;
        s.method = o->method == "fft" ? correlation_method::fft : correlation_method::exact_order;
        // One series read twice: a pipe is copied once and both inputs read the copy.
        std::unique_ptr<rereadable_input> both;
        if (o->input1 == o->input2)
            both = rereadable(ctx, o->input1);
        s.input1 = both ? both->path() : input_path(o->input1);
        s.input2 = both ? both->path() : input_path(o->input2);
        s.output = output_path(ctx, o->output);
        return run_correlation(s, ctx.ui) == correlation_outcome::completed ? completed : stopped;
    };
}

} // namespace qm::cli
