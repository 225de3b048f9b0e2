// quillmark-cli char-extract: the Text File Character Extraction window without a display.
//
//   char-extract --prescan IN                         max line length, min value, preview
//   char-extract --input IN --output OUT --range S:F [--range S:F ...]   (at most five)
//
// The ranges are checked against the pre-scan's max line length exactly as the window checks
// the range boxes, so the CLI accepts what Execute accepts and nothing more. "-" reads standard
// input (copied once for the pre-scan and the extraction) or writes standard output.
#include "cli/subcommand.h"
#include "text_tools/character_extraction.h"

#include <memory>
#include <ostream>

namespace qm::cli {
namespace {

range_entry range_texts_of(const std::vector<std::string>& ranges) {
    if (ranges.size() > range_count)
        throw usage_error("at most five --range options");
    range_entry texts;
    for (std::size_t n = 0; n < ranges.size(); ++n) {
        const auto colon = ranges[n].find(':');
        if (colon == std::string::npos)
            throw usage_error("--range takes START:FINISH, not '" + ranges[n] + "'");
        // Either side may be empty: they stand for empty boxes and are judged like them.
        texts[n] = {ranges[n].substr(0, colon), ranges[n].substr(colon + 1)};
    }
    return texts;
}

} // namespace

action add_char_extract(CLI::App& app) {
    struct options {
        std::string prescan, input, output;
        std::vector<std::string> ranges;
    };
    auto o = std::make_shared<options>();
    auto* prescan = app.add_option("--prescan", o->prescan,
                                   "Only pre-scan this file: print the max line length, the min "
                                   "value and the preview");
    auto* input = app.add_option("--input", o->input, "Input text file (- for standard input)");
    auto* output = app.add_option("--output", o->output,
                                  "Output file (created or truncated; - for standard output)");
    auto* range = app.add_option("--range", o->ranges,
                                 "START:FINISH character positions from 1 (range 1 first; up to "
                                 "five; an empty START leaves that range out)")
                      ->take_all()
                      ->allow_extra_args(false);
    prescan->excludes(input)->excludes(output)->excludes(range);
    input->needs(output)->needs(range);
    output->needs(input);
    app.footer("Example: quillmark-cli char-extract --input data.txt --output cols.txt "
               "--range 1:10 --range 21:30");

    return [o](context& ctx) {
        if (!o->prescan.empty()) {
            run_error failure = run_error::from_number(err::path_file_access);
            const auto scan = run_prescan(input_path(o->prescan), ctx.ui, &failure);
            if (!scan)
                throw failure;
            ctx.out << "Line Length Max = " << scan->max_line_length << '\n'
                    << "Min = " << scan->min_value << '\n'
                    << "Preview:" << scan->preview << '\n';
            return completed;
        }
        if (o->input.empty())
            throw usage_error("give --prescan IN, or --input, --output and --range");
        const range_entry texts = range_texts_of(o->ranges);
        const auto input = rereadable(ctx, o->input);
        run_error failure = run_error::from_number(err::path_file_access);
        const auto scan = run_prescan(input->path(), ctx.ui, &failure);
        if (!scan)
            throw failure;
        const auto outcome = run_character_extraction(input->path(), output_path(ctx, o->output),
                                                      texts, scan->max_line_length, ctx.ui);
        return outcome == extraction_outcome::completed ? completed : stopped;
    };
}

} // namespace qm::cli
