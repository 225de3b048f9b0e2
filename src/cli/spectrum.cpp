// quillmark-cli spectrum: the Spectrum from Excited States window without a display. The
// input is the extraction's states table (--states-table) or two columns, energy (eV) and
// oscillator strength; --stokes-file writes the spectrum as the Stokes shift window reads its
// absfq.dat and emisfq.dat.
#include "cli/subcommand.h"
#include "stokes/ensemble_spectrum.h"

#include <memory>
#include <string>

namespace qm::cli {

action add_spectrum(CLI::App& app) {
    struct options {
        std::string input, output, stokes_file;
        std::string states = "all", shape = "gaussian";
        spectrum_settings settings;
        double from = 0, to = 0;
    };
    auto o = std::make_shared<options>();
    app.add_option("--input", o->input,
                   "States table of ev-extract (--states-table), or two columns: energy (eV) and "
                   "oscillator strength")
        ->required();
    app.add_option("--output", o->output,
                   "The spectrum as CSV: energy, wavelength, wavenumber, S, epsilon, intensity");
    app.add_option("--stokes-file", o->stokes_file,
                   "The spectrum as the Stokes shift window reads it (absfq.dat, emisfq.dat): "
                   "frequency (THz) and intensity, the peak exactly 1");
    app.add_option("--states", o->states, "all: every state of the table; chosen: the roots only")
        ->capture_default_str()
        ->check(CLI::IsMember({"all", "chosen"}));
    app.add_option("--shape", o->shape, "Line shape of unit area")
        ->capture_default_str()
        ->check(CLI::IsMember({"gaussian", "lorentzian"}));
    app.add_option("--fwhm", o->settings.fwhm, "Full width at half maximum (eV)")
        ->capture_default_str();
    auto* from = app.add_option("--from", o->from, "First grid energy (eV; default: lowest "
                                                   "state - 3 FWHM)");
    auto* to = app.add_option("--to", o->to, "Last grid energy (eV; default: highest state + 3 "
                                             "FWHM)");
    app.add_option("--step", o->settings.step, "Grid step (eV)")->capture_default_str();
    app.add_option("--snapshots", o->settings.snapshots,
                   "Snapshots a two-column file averages over (a states table counts its files)")
        ->capture_default_str()
        ->check(CLI::Range(std::int64_t{1}, std::int64_t{1} << 53));
    app.footer("Example: quillmark-cli spectrum --input states.csv --states chosen "
               "--output abs.csv --stokes-file run1/absfq.dat");
    return [o, from, to](context& ctx) {
        spectrum_settings s = o->settings;
        s.input = input_path(o->input);
        if (!o->output.empty())
            s.output = output_path(ctx, o->output);
        if (!o->stokes_file.empty())
            s.stokes_file = output_path(ctx, o->stokes_file);
        s.states = o->states == "chosen" ? state_choice::chosen : state_choice::all;
        s.shape = o->shape == "lorentzian" ? line_shape::lorentzian : line_shape::gaussian;
        if (from->count() > 0)
            s.from = o->from;
        if (to->count() > 0)
            s.to = o->to;
        return run_spectrum(s, ctx.ui) == spectrum_outcome::completed ? completed : stopped;
    };
}

} // namespace qm::cli
