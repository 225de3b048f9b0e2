// quillmark-cli spectral-density: reads a spectral density file as the Time Dependent Stokes
// Shift window does and prints its complete rows, one per line (the text forms of the three
// numbers, one blank apart), then the window's final status text.
#include "stokes/spectral_density.h"
#include "cli/subcommand.h"
#include "platform/number_form.h"

#include <filesystem>
#include <memory>
#include <ostream>

namespace qm::cli {

action add_spectral_density(CLI::App& app) {
    auto input = std::make_shared<std::string>();
    app.add_option("--input", *input, "Spectral density file (- for standard input)")->required();
    app.footer("Example: quillmark-cli spectral-density --input density.dat");
    return [input](context& ctx) {
        const spectral_density_result r = read_spectral_density(input_path(*input), ctx.ui);
        if (r.outcome != spectral_density_outcome::completed)
            return stopped;
        for (std::int32_t row = 0; row < r.table.row_count; ++row) {
            const auto& v = r.table.rows[static_cast<std::size_t>(row)];
            ctx.out << text_form(v[0]) << ' ' << text_form(v[1]) << ' ' << text_form(v[2]) << '\n';
        }
        ctx.out << spectral_density_read << '\n';
        return completed;
    };
}

} // namespace qm::cli
