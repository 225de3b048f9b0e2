#include "stokes/spectral_density.h"

#include "platform/error_report.h"
#include "platform/line_reader.h"
#include "platform/number_form.h"
#include "platform/run_error.h"
#include "platform/text.h"
#include "platform/val.h"

#include <algorithm>
#include <limits>

namespace qm {

void store_spectral_density_line(spectral_density_table& table, std::int32_t& row,
                                 std::string_view line) {
    if (line.size() < 3)
        return;
    const auto fields = blank_fields(line);
    const std::size_t taken = fields.size() < 3 ? fields.size() : 3;
    for (std::size_t f = 0; f < taken; ++f) {
        if (table.rows.size() < static_cast<std::size_t>(row))
            table.rows.resize(static_cast<std::size_t>(row));
        table.rows[static_cast<std::size_t>(row) - 1][f] = val(fields[f]);
        if (f == 2) {
            if (row == std::numeric_limits<std::int32_t>::max())
                throw run_error::from_number(err::overflow);
            ++row;
        }
    }
}

spectral_density_result read_spectral_density(const std::filesystem::path& input, JobUi& ui) {
    ui.status(std::string(spectral_density_reading) + "0");
    busy_pointer hourglass(ui);
    spectral_density_result result;
    result.table.source = input;
    const bool done = run_trapped(ui, report_form::number_form, spectral_density_routine, [&] {
        data_line_reader in(input);
        std::int32_t row = 1;
        std::string line;
        while (in.next(line)) {
            store_spectral_density_line(result.table, row, line);
            // The status shows the open row, not the number of lines read.
            ui.status(std::string(spectral_density_reading) + count_text(row));
        }
        result.table.row_count = row - 1;
    });
    if (!done)
        return {};
    ui.status(spectral_density_read);
    result.outcome = spectral_density_outcome::completed;
    return result;
}

chart_data spectral_density_chart(const spectral_density_table& table) {
    chart_data chart;
    chart.title = "Spectral Density (columns as read)";
    chart.x_title = "Column 1";
    chart.y_title = "Columns 2 and 3";
    chart.lines = {{"Column 2", {}}, {"Column 3", {}}};
    const auto rows = std::min(table.rows.size(), static_cast<std::size_t>(table.row_count));
    for (std::size_t r = 0; r < rows; ++r) {
        const auto& row = table.rows[r];
        chart.lines[0].points.push_back({row[0], row[1]});
        chart.lines[1].points.push_back({row[0], row[2]});
    }
    chart.run_description = run_description({{"Input", table.source.string()}});
    return chart;
}

} // namespace qm
