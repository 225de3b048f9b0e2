// quillmark-cli mdcrd-strip: the Amber MDCRD Atom Stripper without a display. The three numbers
// are the window's box texts and go through the same key filter and Execute rule. The stripper
// checks the whole input before it writes, so "-" as the input is copied once first.
#include "amber/mdcrd_strip.h"
#include "cli/subcommand.h"
#include "platform/val.h"

#include <memory>
#include <string>

namespace qm::cli {
namespace {

struct mdcrd_strip_options {
    std::string input, output;
    std::string atoms, first, last;
    bool keep_box = false;
};

int run_mdcrd_strip(const mdcrd_strip_options& o, context& ctx) {
    check_whole_number("--atoms", o.atoms);
    check_whole_number("--first", o.first);
    check_whole_number("--last", o.last);
    if (!atom_range_usable(o.atoms, o.first, o.last))
        throw usage_error("the kept atoms must satisfy 1 <= --first <= --last <= --atoms");
    const auto input = rereadable(ctx, o.input);
    ctx.ui.messages_concern(o.input);
    const mdcrd_strip_settings settings{input->path(),
                                        output_path(ctx, o.output),
                                        whole_number_from_text(o.atoms),
                                        whole_number_from_text(o.first),
                                        whole_number_from_text(o.last),
                                        o.keep_box};
    return strip_mdcrd_atoms(settings, ctx.ui) == mdcrd_strip_outcome::completed ? completed
                                                                                 : stopped;
}

} // namespace

action add_mdcrd_strip(CLI::App& app) {
    auto o = std::make_shared<mdcrd_strip_options>();
    app.add_option("--input", o->input,
                   "Amber formatted trajectory (mdcrd) to read (- for standard input)")
        ->required();
    app.add_option("--output", o->output,
                   "Trajectory to write (created or truncated; - for standard output)")
        ->required();
    app.add_option("--atoms", o->atoms, "Number of atoms in every frame of the input")->required();
    app.add_option("--first", o->first, "First atom kept (from 1)")->required();
    app.add_option("--last", o->last, "Last atom kept (inclusive)")->required();
    app.add_flag("--keep-box", o->keep_box,
                 "Copy the box lines of a periodic trajectory (they are dropped otherwise)");
    app.footer("Example: quillmark-cli mdcrd-strip --input md.crd --output solute.crd "
               "--atoms 5827 --first 1 --last 223 --keep-box");
    return [o](context& ctx) { return run_mdcrd_strip(*o, ctx); };
}

} // namespace qm::cli
