// quillmark-cli mdcrd-strip: the Amber MDCRD Atom Stripper without a display. The three numbers
// are the window's box texts and go through the same key filter and Execute rule. The stripper
// checks the whole input before it writes, so "-" as the input is copied once first.
#include "amber/mdcrd_strip.h"
#include "amber/amber_netcdf.h"
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
    std::string topology, mask, kept_atom_numbers;
    std::string output_format; // empty: by the output's name
};

int run_mdcrd_strip(const mdcrd_strip_options& o, context& ctx) {
    const bool by_mask = !o.mask.empty();
    if (by_mask != !o.topology.empty())
        throw usage_error("--prmtop and --mask go together");
    if (by_mask && (!o.first.empty() || !o.last.empty()))
        throw usage_error("the kept atoms come from --mask or from --first and --last, not both");
    if (!by_mask && (o.first.empty() || o.last.empty()))
        throw usage_error("--first and --last are needed without --mask");
    if (!o.atoms.empty())
        check_whole_number("--atoms", o.atoms);
    if (!by_mask) {
        check_whole_number("--first", o.first);
        check_whole_number("--last", o.last);
    }
    const auto input = rereadable(ctx, o.input);
    ctx.ui.messages_concern(o.input);
    // A NetCDF trajectory and a topology say how many atoms there are; a text one cannot.
    if (o.atoms.empty() && !by_mask && !is_netcdf_file(input->path()))
        throw usage_error("--atoms is needed for a text trajectory without --prmtop");
    const std::string atoms = o.atoms.empty() ? "0" : o.atoms;
    if (!by_mask && !o.atoms.empty() && !atom_range_usable(atoms, o.first, o.last))
        throw usage_error("the kept atoms must satisfy 1 <= --first <= --last <= --atoms");
    mdcrd_strip_settings settings{input->path(),
                                  output_path(ctx, o.output),
                                  whole_number_from_text(atoms),
                                  by_mask ? 1 : whole_number_from_text(o.first),
                                  by_mask ? 1 : whole_number_from_text(o.last),
                                  o.keep_box};
    settings.topology = o.topology;
    settings.mask = o.mask;
    settings.output_format = o.output_format.empty()     ? trajectory_format::by_name
                             : o.output_format == "text" ? trajectory_format::text
                                                         : trajectory_format::netcdf;
    settings.kept_atom_numbers = o.kept_atom_numbers;
    if (writes_netcdf(settings) && o.output == "-")
        throw usage_error("a NetCDF output is written to a file, not to standard output (-)");
    return strip_mdcrd_atoms(settings, ctx.ui) == mdcrd_strip_outcome::completed ? completed
                                                                                 : stopped;
}

} // namespace

action add_mdcrd_strip(CLI::App& app) {
    auto o = std::make_shared<mdcrd_strip_options>();
    app.add_option("--input", o->input,
                   "Amber trajectory to read, formatted text (mdcrd) or NetCDF, told apart by "
                   "its first bytes (- for standard input)")
        ->required();
    app.add_option("--output", o->output,
                   "Trajectory to write (created or replaced; - for standard output)")
        ->required();
    app.add_option("--atoms", o->atoms,
                   "Number of atoms in every frame of the input (needed for a text trajectory "
                   "without --prmtop; otherwise it must agree with the file)");
    app.add_option("--first", o->first, "First atom kept (from 1)");
    app.add_option("--last", o->last, "Last atom kept (inclusive)");
    app.add_flag("--keep-box", o->keep_box,
                 "Copy the box lines of a periodic trajectory (they are dropped otherwise)");
    app.add_option("--prmtop", o->topology, "Amber topology of the input's atoms, for --mask");
    app.add_option("--mask", o->mask,
                   "Amber mask of the atoms kept, in topology order, instead of --first and "
                   "--last (e.g. '!:WAT', ':1-25@CA', ':WAT,Na+,Cl-')");
    app.add_option("--output-format", o->output_format,
                   "text (the mdcrd layout) or netcdf (Amber NetCDF); by default an output name "
                   "ending in .nc is NetCDF, any other text")
        ->check(CLI::IsMember({"text", "netcdf"}));
    app.add_option("--write-prmtop-atoms", o->kept_atom_numbers,
                   "Write the kept atom numbers (from 1) to this file, one per line, for making "
                   "the reduced topology");
    app.footer("Examples: quillmark-cli mdcrd-strip --input md.crd --output solute.crd "
               "--atoms 5827 --first 1 --last 223 --keep-box\n"
               "  quillmark-cli mdcrd-strip --input md.nc --output dry.nc --prmtop md.parm7 "
               "--mask '!:WAT' --keep-box");
    return [o](context& ctx) { return run_mdcrd_strip(*o, ctx); };
}

} // namespace qm::cli
