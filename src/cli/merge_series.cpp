// quillmark-cli merge-series: the outputs of ev-extract runs over consecutive chunks of one
// series (array jobs on a cluster, each with --output-dir and --time-offset) joined into the
// files one run over the whole series writes. Every file of the first chunk's folder is joined,
// byte for byte and in the order the folders are given, with the file of the same name in each
// of the others; the chunks must hold the same files (a CSV table keeps the first chunk's header
// line only). Mathematica notebooks are whole documents
// and cannot be joined: they are left out, and said so.
//
//   merge-series --output DIR CHUNK_DIR CHUNK_DIR ...
#include "cli/subcommand.h"
#include "platform/input_stream.h"
#include "platform/output_file.h"
#include "platform/run_error.h"

#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace qm::cli {
namespace {

struct merge_options {
    std::string output;
    std::vector<std::string> chunks;
};

std::set<std::string> file_names(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file())
            names.insert(entry.path().filename().string());
    return names;
}

// With `skip_header`, the bytes up to and with the first line end are left out.
void append_file_to(output_file& out, const std::filesystem::path& path, bool skip_header) {
    input_stream in(path);
    std::string block(1 << 20, '\0');
    while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0) {
        std::string_view bytes(block.data(), static_cast<std::size_t>(in.gcount()));
        if (skip_header) {
            const std::size_t lf = bytes.find('\n');
            skip_header = lf == std::string_view::npos;
            bytes = skip_header ? std::string_view() : bytes.substr(lf + 1);
        }
        out.write(bytes);
    }
}

int merge_series(const merge_options& o, context& ctx) {
    std::error_code ec;
    std::vector<std::filesystem::path> chunks;
    for (const std::string& chunk : o.chunks) {
        if (!std::filesystem::is_directory(chunk, ec))
            throw usage_error("a chunk must be a folder, not " + chunk);
        if (std::filesystem::exists(o.output, ec) &&
            std::filesystem::equivalent(chunk, o.output, ec))
            throw usage_error("--output must not be one of the chunk folders: " + chunk);
        chunks.emplace_back(chunk);
    }
    const std::set<std::string> names = file_names(chunks.front());
    for (const auto& chunk : chunks) {
        const std::set<std::string> own = file_names(chunk);
        for (const std::string& name : names)
            if (!own.contains(name))
                throw run_error::from_number(err::file_not_found).in_file(chunk / name);
        for (const std::string& name : own)
            if (!names.contains(name))
                throw run_error(err::path_file_access, "A file the first chunk (" +
                                                           chunks.front().string() +
                                                           ") does not hold")
                    .in_file(chunk / name);
    }
    std::filesystem::create_directories(o.output);
    long long joined = 0;
    for (const std::string& name : names) {
        if (name.ends_with(".nb")) {
            ctx.err << "quillmark-cli merge-series: " << name
                    << ": a notebook is a whole document; not joined\n";
            continue;
        }
        ctx.ui.status("Joining " + name);
        output_file out(std::filesystem::path(o.output) / name);
        // A table (--table, --states-table written into the chunk's folder) keeps one header.
        for (const auto& chunk : chunks)
            append_file_to(out, chunk / name, name.ends_with(".csv") && chunk != chunks.front());
        out.close();
        ++joined;
    }
    ctx.ui.message(message_icon::information, "Merge Complete",
                   std::to_string(joined) + " files joined from " + std::to_string(chunks.size()) +
                       " chunks");
    return completed;
}

} // namespace

action add_merge_series(CLI::App& app) {
    auto o = std::make_shared<merge_options>();
    app.add_option("--output", o->output, "Folder for the joined files (created when missing)")
        ->required();
    app.add_option("chunks", o->chunks, "The chunks' output folders, in the order of their files")
        ->required();
    app.footer("Example: quillmark-cli merge-series --output run/all run/chunk1 run/chunk2");
    return [o](context& ctx) { return merge_series(*o, ctx); };
}

} // namespace qm::cli
