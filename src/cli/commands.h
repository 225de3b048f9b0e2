// quillmark-cli: the program's jobs without a display. One file per subcommand.
#pragma once

#include <iosfwd>

namespace qm::cli {

// Exit status: 0 the job reached its completion message; 1 it stopped on a message or an
// error report; 2 usage error.
int run(int argc, char** argv);
int run(int argc, char** argv, std::ostream& out, std::ostream& err);

} // namespace qm::cli
