// quillmark-cli line-extract: the Text File Line Extraction Utility without a display. The
// two numbers are the window's box texts and go through the same key filter and Execute rule.
#include "cli/subcommand.h"
#include "platform/val.h"
#include "text_tools/line_extraction.h"

#include <memory>
#include <string>

namespace qm::cli {
namespace {

struct line_extract_options {
    std::string input, output;
    std::string start = "1";
    std::string every = "4";
};

int run_line_extract(const line_extract_options& o, context& ctx) {
    check_whole_number("--start", o.start);
    check_whole_number("--every", o.every);
    const line_extraction_settings settings{input_path(o.input), output_path(ctx, o.output),
                                            whole_number_from_text(o.start),
                                            whole_number_from_text(o.every)};
    return extract_every_nth_line(settings, ctx.ui) == line_extraction_outcome::completed
               ? completed
               : stopped;
}

} // namespace

action add_line_extract(CLI::App& app) {
    auto o = std::make_shared<line_extract_options>();
    app.add_option("--input", o->input, "Text file to read (- for standard input)")->required();
    app.add_option("--output", o->output,
                   "File to write (created or truncated; - for standard output)")
        ->required();
    app.add_option("--start", o->start, "First line written (from 1)")->capture_default_str();
    app.add_option("--every", o->every, "Extraction frequency in lines")->capture_default_str();
    app.footer("Example: quillmark-cli line-extract --input md.out --output every4th.txt "
               "--start 1 --every 4");
    return [o](context& ctx) { return run_line_extract(*o, ctx); };
}

} // namespace qm::cli
