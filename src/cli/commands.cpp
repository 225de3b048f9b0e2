#include "cli/commands.h"

#include <iostream>

namespace qm::cli {

int run(int argc, char** argv) { return run(argc, argv, std::cout, std::cerr); }

int run(int, char**, std::ostream&, std::ostream&) { return 0; }

} // namespace qm::cli
