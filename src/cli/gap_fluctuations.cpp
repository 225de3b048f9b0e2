// quillmark-cli gap-fluctuations: the Energy Gap Fluctuations window without a display: the
// statistics of an energy-gap series (a freqgapEV.k file of ev-extract as it is, or any two
// whitespace-separated columns, time in fs and energy in eV), its correlation function and
// its spectral density, written as the Time Dependent Stokes Shift window reads it.
#include "cli/subcommand.h"
#include "stokes/gap_fluctuations.h"

#include <memory>
#include <string>

namespace qm::cli {

action add_gap_fluctuations(CLI::App& app) {
    struct options {
        std::string input, correlation, spectral_density;
        gap_fluctuation_settings settings;
        double max_lag = 0;
    };
    auto o = std::make_shared<options>();
    app.add_option("--input", o->input, "Energy-gap series: time (fs) and energy (eV)")
        ->required();
    app.add_option("--correlation", o->correlation,
                   "C(t) as CSV: time (fs), C (eV^2), C/C(0)");
    app.add_option("--spectral-density", o->spectral_density,
                   "Wavenumber (cm-1), J (cm-1) and the cumulative reorganisation energy (cm-1), "
                   "three numbers a line, for the Time Dependent Stokes Shift window and tdss");
    app.add_option("--temperature", o->settings.temperature, "Temperature (K)")
        ->capture_default_str();
    auto* max_lag = app.add_option("--max-lag", o->max_lag,
                                   "Longest lag of C (fs; default: half the series' duration)");
    app.add_option("--damping", o->settings.damping,
                   "Damping time of C before its transform (fs; 0: none)")
        ->capture_default_str();
    app.add_option("--wavenumber-max", o->settings.wavenumber_max, "Last grid wavenumber (cm-1)")
        ->capture_default_str();
    app.add_option("--wavenumber-step", o->settings.wavenumber_step, "Grid step (cm-1)")
        ->capture_default_str();
    app.footer("Example: quillmark-cli gap-fluctuations --input freqgapEV.1 --max-lag 1000 "
               "--correlation gap_acf.csv --spectral-density J.dat");
    return [o, max_lag](context& ctx) {
        gap_fluctuation_settings s = o->settings;
        s.input = input_path(o->input);
        if (!o->correlation.empty())
            s.correlation = output_path(ctx, o->correlation);
        if (!o->spectral_density.empty())
            s.spectral_density = output_path(ctx, o->spectral_density);
        if (max_lag->count() > 0)
            s.max_lag = o->max_lag;
        return run_gap_fluctuations(s, ctx.ui) == gap_fluctuation_outcome::completed ? completed
                                                                                    : stopped;
    };
}

} // namespace qm::cli
