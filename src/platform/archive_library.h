// libarchive is loaded on first use (archive_library.cpp).
#pragma once

#include <string>

namespace qm {

// Why libarchive could not be loaded; empty when it was (or has not been asked for yet).
const std::string& archive_library_failure();

} // namespace qm
