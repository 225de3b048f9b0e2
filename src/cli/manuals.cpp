#include "cli/manuals.h"

#include "cli/subcommand.h"
#include "platform/output_file.h"

#include <algorithm>
#include <set>
#include <vector>

namespace qm::cli {
namespace {

constexpr const char* program = "quillmark-cli";

// Text as roff shows it: backslashes and minus signs escaped, no line starting a request.
std::string roff(std::string_view text) {
    std::string out;
    bool line_start = true;
    for (const char c : text) {
        if (line_start && (c == '.' || c == '\''))
            out += "\\&";
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
        line_start = c == '\n';
    }
    return out;
}

bool shown(const CLI::Option* option) {
    return !option->get_group().empty() && option->get_name() != "--help";
}

// "TEXT:{xyz,pdb}" -> "xyz pdb": the choices an IsMember check allows.
std::string choices_of(const CLI::Option* option) {
    const std::string type = option->get_type_name();
    const std::size_t open = type.find(":{");
    if (open == std::string::npos || type.back() != '}')
        return {};
    std::string list = type.substr(open + 2, type.size() - open - 3);
    std::replace(list.begin(), list.end(), ',', ' ');
    return list;
}

// One option as a roff tagged paragraph: names, value, description, default.
std::string option_entry(const CLI::Option* option) {
    std::string head;
    if (option->get_positional()) {
        head = "\\fI" + roff(option->get_name()) + "\\fR";
    } else {
        std::string names = option->get_name(false, true);
        std::replace(names.begin(), names.end(), ',', ' ');
        std::string joined;
        for (std::size_t at = 0; at < names.size();) {
            const std::size_t end = std::min(names.find(' ', at), names.size());
            joined +=
                (joined.empty() ? "" : ", ") + ("\\fB" + roff(names.substr(at, end - at))) + "\\fR";
            at = end + 1;
        }
        head = joined;
        if (option->get_expected_min() > 0) {
            // The value's type without the checks CLI11 appends ("UINT:UINT in [1 - 4096]").
            const std::string type = option->get_type_name();
            std::string choices = choices_of(option);
            std::replace(choices.begin(), choices.end(), ' ', '|');
            head +=
                " \\fI" + roff(choices.empty() ? type.substr(0, type.find(':')) : choices) + "\\fR";
        }
    }
    std::string text = ".TP\n" + head + "\n" + roff(option->get_description());
    if (option->get_required())
        text += " (required)";
    if (!option->get_default_str().empty())
        text += " (default: " + roff(option->get_default_str()) + ")";
    return text + "\n";
}

std::string page_head(const std::string& name, const std::string& summary) {
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    // Left-aligned and unhyphenated: option and page names must stay whole.
    return ".TH " + upper + " 1 \"\" \"Quillmark " + QUILLMARK_VERSION +
           "\" \"Quillmark manual\"\n.nh\n.ad l\n.SH NAME\n" + roff(name) + " \\- " +
           roff(summary) + "\n";
}

std::vector<std::string> pages() {
    std::vector<std::string> names;
    for (const subcommand_entry& entry : subcommand_table())
        if (std::find(names.begin(), names.end(), entry.page) == names.end())
            names.emplace_back(entry.page);
    return names;
}

std::vector<const subcommand_entry*> entries_of(const std::string& page) {
    std::vector<const subcommand_entry*> entries;
    for (const subcommand_entry& entry : subcommand_table())
        if (entry.page == page)
            entries.push_back(&entry);
    return entries;
}

const char* const pipes_text =
    "Where a tool reads or writes one stream, \\fB\\-\\fR as the file name reads standard "
    "input or writes standard output: convert (one geometry), line-extract, char-extract, "
    "time-convert, phase-correct, spectral-density, correlate and mdcrd-strip. A pipe or FIFO is "
    "read once; a tool that reads its input twice takes a private copy first. While the data "
    "goes to standard output, the message lines go to standard error.\n";

const char* const compressed_text =
    "Every input file is read by its first bytes, whatever its name: gzip (also with the zero "
    "padding of tape copies), bzip2, xz and zstd data is decompressed while it is read, and a "
    "zip archive gives its one file (folders and README files are passed over; an archive of "
    "several files is refused). Outputs are always plain.\n";

const char* const status_text =
    ".TP\n.B 0\nThe job reached its completion message.\n"
    ".TP\n.B 1\nThe job stopped on a message or an error report, or standard output could not "
    "be written.\n"
    ".TP\n.B 2\nUsage error: an unknown subcommand or option (named with the nearest valid "
    "one), or a combination of options the window would not allow.\n";

} // namespace

std::string main_man_page(const CLI::App& app) {
    std::string page = page_head(program, "Quillmark's jobs without a display");
    page += ".SH SYNOPSIS\n.B " + std::string(program) +
            "\n[\\fB\\-q\\fR] [\\fB\\-\\-threads\\fR \\fIN\\fR] \\fISUBCOMMAND\\fR "
            "[\\fIOPTIONS\\fR]\n";
    page += ".SH DESCRIPTION\n" + roff(app.get_description()) +
            "\nEach subcommand runs the job of one window of the desktop program "
            "\\fBquillmark\\fR, with the same "
            "defaults. Status lines go to standard error (one line with a progress bar on a "
            "terminal, cut to its width); every message box is printed on standard output as "
            "\\fIIcon\\fR: \\fITitle\\fR: \\fIText\\fR in one line, and an error report as one "
            "line on standard error: \\fB" +
            std::string(program) +
            "\\fR \\fISUBCOMMAND\\fR: \\fIFILE\\fR: \\fIDESCRIPTION\\fR (error \\fIN\\fR), the "
            "file when the error concerns one.\n";
    page += ".SH SUBCOMMANDS\n";
    for (const subcommand_entry& entry : subcommand_table())
        page += ".TP\n.B " + roff(entry.name) + "\n" + roff(entry.description) + "; see \\fB" +
                program + "\\-" + roff(entry.page) + "\\fR(1).\n";
    page += ".SH OPTIONS\n";
    for (const CLI::Option* option : app.get_options())
        if (shown(option))
            page += option_entry(option);
    page += ".SH STANDARD INPUT AND OUTPUT\n" + std::string(pipes_text);
    page += ".SH COMPRESSED INPUT\n" + std::string(compressed_text);
    page += ".SH EXIT STATUS\n" + std::string(status_text);
    page += ".SH SEE ALSO\n";
    const auto names = pages();
    for (std::size_t i = 0; i < names.size(); ++i)
        page += ".BR " + std::string(program) + "\\-" + roff(names[i]) + " (1)" +
                (i + 1 < names.size() ? "," : "") + "\n";
    return page;
}

std::string group_man_page(const CLI::App& app, const std::string& page_name) {
    const auto entries = entries_of(page_name);
    std::string names;
    for (const subcommand_entry* entry : entries)
        names += (names.empty() ? "" : ", ") + std::string(entry->name);
    std::string page = page_head(std::string(program) + "-" + page_name, program + (" " + names));
    page += ".SH SYNOPSIS\n";
    for (const subcommand_entry* entry : entries)
        page +=
            ".B " + std::string(program) + " " + roff(entry->name) + "\n[\\fIOPTIONS\\fR]\n.br\n";
    page += ".SH DESCRIPTION\n";
    for (const subcommand_entry* entry : entries) {
        const CLI::App* sub = app.get_subcommand(entry->name);
        page += ".SS " + roff(entry->name) + "\n" + roff(entry->description) + ".\n";
        for (const CLI::Option* option : sub->get_options())
            if (shown(option))
                page += option_entry(option);
        if (!sub->get_footer().empty())
            page += ".PP\n" + roff(sub->get_footer()) + "\n";
    }
    page += ".SH SEE ALSO\n.BR " + std::string(program) + " (1)\n";
    return page;
}

std::string bash_completion(const CLI::App& app) {
    std::string subcommand_names;
    for (const subcommand_entry& entry : subcommand_table())
        subcommand_names += (subcommand_names.empty() ? "" : " ") + std::string(entry.name);
    std::string global;
    for (const CLI::Option* option : app.get_options())
        if (shown(option) || option->get_name() == "--help")
            global += " " + option->get_name(false, true);
    std::replace(global.begin(), global.end(), ',', ' ');

    std::string options_case, choices_case;
    for (const subcommand_entry& entry : subcommand_table()) {
        const CLI::App* sub = app.get_subcommand(entry.name);
        std::string names;
        for (const CLI::Option* option : sub->get_options()) {
            if (!shown(option) || option->get_positional())
                continue;
            names += " " + option->get_name(false, true);
            if (const std::string choices = choices_of(option); !choices.empty())
                choices_case += "        \"" + std::string(entry.name) + " " + option->get_name() +
                                "\") choices=\"" + choices + "\" ;;\n";
        }
        std::replace(names.begin(), names.end(), ',', ' ');
        options_case += "        " + std::string(entry.name) + ") options=\"" +
                        (names.empty() ? names : names.substr(1)) + global + "\" ;;\n";
    }
    return "# bash completion for quillmark-cli, written from its option tables by\n"
           "# quillmark-cli --write-manuals\n"
           "_quillmark_cli() {\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
           "    local sub='' options='' choices='' i\n"
           "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
           "        case ${COMP_WORDS[i]} in\n"
           "        " +
           [&] {
               std::string alternatives = subcommand_names;
               std::replace(alternatives.begin(), alternatives.end(), ' ', '|');
               return alternatives;
           }() +
           ") sub=${COMP_WORDS[i]}; break ;;\n"
           "        esac\n"
           "    done\n"
           "    case \"$sub $prev\" in\n" +
           choices_case +
           "    esac\n"
           "    if [[ -n $choices ]]; then\n"
           "        COMPREPLY=($(compgen -W \"$choices\" -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    case $sub in\n" +
           options_case + "        '') options=\"" + global.substr(1) + " " + subcommand_names +
           "\" ;;\n"
           "    esac\n"
           "    if [[ -z $sub || $cur == -* ]]; then\n"
           "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
           "    else\n"
           "        COMPREPLY=($(compgen -f -- \"$cur\"))\n"
           "    fi\n"
           "}\n"
           "complete -o filenames -o bashdefault -F _quillmark_cli quillmark-cli\n";
}

void write_manuals(const CLI::App& app, const std::filesystem::path& folder) {
    const auto man = folder / "man" / "man1";
    const auto completions = folder / "bash-completion" / "completions";
    std::filesystem::create_directories(man);
    std::filesystem::create_directories(completions);
    write_whole_file(man / (std::string(program) + ".1"), main_man_page(app));
    for (const std::string& page : pages())
        write_whole_file(man / (std::string(program) + "-" + page + ".1"),
                         group_man_page(app, page));
    write_whole_file(completions / program, bash_completion(app));
}

} // namespace qm::cli
