// quillmark-cli stokes-shift: the Data Extraction window without a display. The window joins
// "absfq.dat" and "emisfq.dat" to its path text as it stands; a folder given on the command
// line gets its final '/' when it has none, so that "run1" and "run1/" name the same spectra.
#include "cli/subcommand.h"
#include "stokes/stokes_shift_summary.h"

#include <memory>
#include <string>

namespace qm::cli {
namespace {

struct stokes_shift_options {
    std::string data_dir;
    std::string summary = "c:\\QMMM_Summary.dat"; // the window's default text
};

int run_stokes_shift(const stokes_shift_options& o, context& ctx) {
    std::string data_path = o.data_dir;
    if (data_path.empty())
        throw usage_error("--data-dir must name a folder");
    if (data_path.back() != '/')
        data_path += '/';
    const stokes_shift_settings settings{data_path, o.summary};
    return stokes_shift_summary(settings, ctx.ui).outcome == stokes_shift_outcome::completed
               ? completed
               : stopped;
}

} // namespace

action add_stokes_shift(CLI::App& app) {
    auto o = std::make_shared<stokes_shift_options>();
    app.add_option("--data-dir", o->data_dir, "Folder holding absfq.dat and emisfq.dat")
        ->required();
    app.add_option("--summary", o->summary,
                   "Summary file the result line is appended to; a Windows name such as the "
                   "default stands for its last part in the current folder")
        ->capture_default_str();
    app.footer("Example: quillmark-cli stokes-shift --data-dir run1 --summary summary.dat");
    return [o](context& ctx) { return run_stokes_shift(*o, ctx); };
}

} // namespace qm::cli
