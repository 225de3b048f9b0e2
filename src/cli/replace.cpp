// quillmark-cli replace: the Global Search & Replace window without a display. The files are
// given as the window's file dialog returns them: one file, or several files of one folder.
#include "cli/subcommand.h"
#include "text_tools/global_replace.h"

#include <filesystem>
#include <memory>

namespace qm::cli {

action add_replace(CLI::App& app) {
    struct options {
        std::string search1, replace1, search2, replace2;
        bool backups = false;
        std::vector<std::string> files;
    };
    auto o = std::make_shared<options>();
    app.add_option("--search1", o->search1, "Search for (replacement 1)")->required();
    app.add_option("--replace1", o->replace1, "Replace with (replacement 1; may be empty)");
    app.add_option("--search2", o->search2, "Search for (replacement 2)");
    app.add_option("--replace2", o->replace2, "Replace with (replacement 2; may be empty)");
    app.add_flag("--backups", o->backups, "Keep each changed file's previous version as FILE.bak");
    app.add_option("files", o->files, "The files: one file, or several files of one folder")
        ->required();
    app.footer("Example: quillmark-cli replace --search1 ab --replace1 a data/*.txt");

    return [o](context& ctx) {
        // The window's Execute is enabled only once Search for 1 holds a text.
        if (o->search1.empty())
            throw usage_error("--search1 must not be empty");
        replace_settings s;
        std::filesystem::path folder;
        for (const auto& file : o->files) {
            const auto full = std::filesystem::absolute(file);
            if (!folder.empty() && full.parent_path() != folder)
                throw usage_error("several files must all be in one folder, as the file "
                                  "dialog chooses them");
            folder = full.parent_path();
            s.files.push_back(full.string());
        }
        s.pair1 = {o->search1, o->replace1};
        s.pair2 = {o->search2, o->replace2};
        s.backups = o->backups;
        const replace_result r = replace_in_files(s, ctx.ui);
        // A refused file is work not done: the run did not do everything that was asked.
        return r.completed && r.refused.empty() ? completed : stopped;
    };
}

} // namespace qm::cli
