// quillmark-cli convert: the Output Conversion/Extraction window without a display. "-" reads
// standard input (copied once, since the format test and the reading both read it) and, for
// one geometry, writes standard output.
#include "cli/subcommand.h"
#include "conversion/conversion_job.h"

#include <filesystem>
#include <memory>

namespace qm::cli {

action add_convert(CLI::App& app) {
    struct options {
        std::string input, output, input_type, output_type = "none";
        bool multiple = false;
    };
    auto o = std::make_shared<options>();
    app.add_option("--input", o->input, "Input file (- for standard input)")->required();
    app.add_option("--output", o->output, "Output file (- for standard output)")->required();
    app.add_option("--input-type", o->input_type,
                   "Input file type (g98 reads Gaussian 98, 03, 09 and 16 outputs; g94 Gaussian 94)")
        ->required()
        ->check(CLI::IsMember({"xyz", "gaussian-input", "g98", "g94"}));
    app.add_option("--output-type", o->output_type,
                   "Output file type (none: nothing is written; standard-xyz and standard-pdb: "
                   "the layouts other programs read)")
        ->check(
            CLI::IsMember({"none", "xyz", "pdb", "g94", "freq", "standard-xyz", "standard-pdb"}));
    app.add_flag("--multiple", o->multiple,
                 "Every geometry: xyz and pdb one file each (1 - NAME, 2 - NAME, ... beside the "
                 "output), standard-xyz and standard-pdb as frames of the one output");
    app.footer("Example: quillmark-cli convert --input mol.xyz --output mol.pdb "
               "--input-type xyz --output-type pdb");

    return [o](context& ctx) {
        conversion_settings s;
        s.input_kind = *input_type_named(o->input_type);
        s.output_kind = *output_type_named(o->output_type);
        s.multiple_geometries = o->multiple;
        if (!output_allowed(s.input_kind, s.output_kind))
            throw usage_error("output type " + o->output_type +
                              " cannot be chosen for input type " + o->input_type);
        if (s.multiple_geometries && !multiple_allowed(s.input_kind, s.output_kind))
            throw usage_error("--multiple needs a g98 or g94 input and an xyz, pdb or no "
                              "output type");
        if (o->multiple && o->output == "-")
            throw usage_error("--multiple writes one file per geometry: --output cannot be -");
        const auto input = rereadable(ctx, o->input);
        ctx.ui.messages_concern(o->input);
        s.input = input->path();
        s.output = output_path(ctx, o->output);
        s.output_title = std::filesystem::path(o->output).filename().string();
        s.input_title = std::filesystem::path(o->input).filename().string();
        return run_conversion(s, ctx.ui) ? completed : stopped;
    };
}

} // namespace qm::cli
