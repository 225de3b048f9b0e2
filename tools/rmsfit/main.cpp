// rmsfit command line: reads the files named on it, fits, and writes the listing and fort.55.
// The arithmetic and the layouts live in rmsfit.cpp; this file only deals with the system.
//
// Exit status: 0 when fort.55 was written, 1 when an input or output failed (nothing is
// deleted, and fort.55 is left as it was), 2 for a usage error.

#include "rmsfit/rmsfit.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The TDM alignment reads the rotation from this fixed name in the working folder.
constexpr const char* rotation_file = "fort.55";

// The largest coordinate file (99999 atoms, the most five columns can count) is under 4 MB;
// anything far beyond that is not one of our inputs and is not read into memory.
constexpr std::size_t max_input_bytes = 64u << 20;

constexpr std::string_view usage_text =
    "usage: rmsfit [-O] -i control -o output -p topology -c reference -r current\n"
    "  -O             overwrite the output listing when it exists\n"
    "  -i control     control input (first line a '#' comment, a line 'RMS')\n"
    "  -o output      listing: atom count, RMSD before and after the fit, rotation\n"
    "  -p topology    topology file (must exist and be readable)\n"
    "  -c reference   reference coordinates\n"
    "  -r current     coordinates to fit onto the reference\n"
    "Writes the rotation M with reference = M * current to fort.55 (always replaced).\n";

struct usage_error {
    std::string message;
};

// A failure tied to one file: the name comes first in the message.
struct file_error {
    std::string file;
    std::string message;
};

struct options {
    bool overwrite = false;
    bool help = false;
    std::string control;
    std::string output;
    std::string topology;
    std::string reference;
    std::string current;
};

struct file_option {
    std::string_view flag;
    std::string options::*target;
    std::string_view meaning;
};

constexpr file_option file_options[] = {
    {"-i", &options::control, "control input"},
    {"-o", &options::output, "output listing"},
    {"-p", &options::topology, "topology"},
    {"-c", &options::reference, "reference coordinates"},
    {"-r", &options::current, "current coordinates"},
};

const file_option* find_file_option(std::string_view arg) {
    for (const file_option& option : file_options)
        if (option.flag == arg)
            return &option;
    return nullptr;
}

options parse_arguments(int argc, char** argv) {
    options result;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "-O") {
            result.overwrite = true;
        } else if (arg == "-h" || arg == "--help") {
            result.help = true;
        } else if (const file_option* option = find_file_option(arg)) {
            std::string& target = result.*(option->target);
            if (!target.empty())
                throw usage_error{"option " + std::string(arg) + " is given twice"};
            // A following flag means the name was left out, not a file called "-o".
            if (i + 1 >= argc || *argv[i + 1] == '\0' || find_file_option(argv[i + 1]) ||
                std::string_view(argv[i + 1]) == "-O")
                throw usage_error{"option " + std::string(arg) + " needs a file name (" +
                                  std::string(option->meaning) + ")"};
            target = argv[++i];
        } else {
            throw usage_error{"unknown argument '" + std::string(arg) + "'"};
        }
    }
    if (result.help)
        return result;
    for (const file_option& option : file_options)
        if ((result.*(option.target)).empty())
            throw usage_error{"option " + std::string(option.flag) + " (" +
                              std::string(option.meaning) + ") is missing"};
    return result;
}

std::string system_message(int error) {
    return std::strerror(error);
}

// Opens a regular file for reading; a folder or a device is refused by name.
int open_input(const std::string& name) {
    int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw file_error{name, "cannot be opened: " + system_message(errno)};
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw file_error{name, "is not a regular file"};
    }
    return fd;
}

std::string read_input(const std::string& name) {
    int fd = open_input(name);
    std::string text;
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            int error = errno;
            ::close(fd);
            throw file_error{name, "cannot be read: " + system_message(error)};
        }
        if (got == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
        if (text.size() > max_input_bytes) {
            ::close(fd);
            throw file_error{name, "is larger than " + std::to_string(max_input_bytes >> 20) +
                                       " MB: not an input of this program"};
        }
    }
    ::close(fd);
    return text;
}

void check_readable(const std::string& name) {
    ::close(open_input(name));
}

// Device and inode of an existing file, so two spellings of one file compare equal.
std::optional<std::pair<dev_t, ino_t>> identity(const std::string& name) {
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0)
        return std::nullopt;
    return std::pair{info.st_dev, info.st_ino};
}

// Writing `output` must never replace one of the inputs the user gave.
void ensure_not_an_input(const std::string& output, const options& opts) {
    auto out = identity(output);
    if (!out)
        return;
    for (const std::string* input : {&opts.control, &opts.topology, &opts.reference, &opts.current})
        if (identity(*input) == out)
            throw file_error{output, "is also the input " + *input + ": refusing to overwrite it"};
}

// Writes the whole file next to its final name and renames it over that name, so a reader
// (the TDM alignment polls for fort.55) sees either the old file or the complete new one.
// Every write, the flush to disk and the close are checked; on failure the temporary file
// goes and the old file stays as it was.
void write_by_rename(const std::string& name, std::string_view bytes) {
    std::string temp_name = name + ".XXXXXX";
    int fd = ::mkstemp(temp_name.data());
    if (fd < 0)
        throw file_error{name, "cannot create a file beside it: " + system_message(errno)};
    auto fail = [&](const std::string& what) {
        int error = errno;
        ::close(fd);
        ::unlink(temp_name.c_str());
        throw file_error{name, what + ": " + system_message(error)};
    };

    // mkstemp makes the file private; give it the bits the old file had, or the usual ones.
    struct stat old {};
    mode_t mode = 0;
    if (::stat(name.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0)
        fail("cannot set its permissions");

    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            fail("cannot be written");
        done += static_cast<std::size_t>(put);
    }
    // No fsync: the rename alone makes the whole matrix appear at once to the reader, and a
    // fit is redone anyway after a crash; syncing would cost more than the fit itself.
    if (::close(fd) != 0) {
        int error = errno;
        ::unlink(temp_name.c_str());
        throw file_error{name, "cannot be written: " + system_message(error)};
    }
    if (::rename(temp_name.c_str(), name.c_str()) != 0) {
        int error = errno;
        ::unlink(temp_name.c_str());
        throw file_error{name, "cannot be replaced: " + system_message(error)};
    }
}

qm::rmsfit::coordinates read_coordinates(const std::string& name) {
    std::string text = read_input(name);
    try {
        return qm::rmsfit::parse_coordinates(text);
    } catch (const qm::rmsfit::input_error& e) {
        throw file_error{name, e.what()};
    }
}

void run(const options& opts) {
    std::string control = read_input(opts.control);
    try {
        qm::rmsfit::check_control_input(control);
    } catch (const qm::rmsfit::input_error& e) {
        throw file_error{opts.control, e.what()};
    }
    check_readable(opts.topology);
    qm::rmsfit::coordinates reference = read_coordinates(opts.reference);
    qm::rmsfit::coordinates current = read_coordinates(opts.current);

    // Every check before the first write: a refused run leaves no file changed.
    if (!opts.overwrite && identity(opts.output))
        throw file_error{opts.output, "exists (use -O to overwrite it)"};
    ensure_not_an_input(opts.output, opts);
    ensure_not_an_input(rotation_file, opts);

    qm::rmsfit::fit_result fit;
    try {
        fit = qm::rmsfit::fit_onto_reference(reference.atoms, current.atoms);
    } catch (const qm::rmsfit::input_error& e) {
        throw file_error{opts.reference + ", " + opts.current, e.what()};
    }
    std::string rotation = qm::rmsfit::format_rotation(fit.rotation);
    std::string listing = qm::rmsfit::format_listing(fit, {opts.reference, opts.current});

    // fort.55 last: when it appears, the run has succeeded.
    write_by_rename(opts.output, listing);
    write_by_rename(rotation_file, rotation);
}

} // namespace

int main(int argc, char** argv) {
    options opts;
    try {
        opts = parse_arguments(argc, argv);
    } catch (const usage_error& e) {
        std::cerr << "rmsfit: " << e.message << "\n" << usage_text;
        return 2;
    }
    if (opts.help) {
        std::cout << usage_text;
        return 0;
    }
    try {
        run(opts);
        return 0;
    } catch (const file_error& e) {
        std::cerr << "rmsfit: " << e.file << ": " << e.message << "\n";
    } catch (const std::exception& e) {
        std::cerr << "rmsfit: " << e.what() << "\n";
    }
    return 1;
}
