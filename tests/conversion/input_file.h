// The fixture of the XYZ and Gaussian input reader tests, and the texts their reports end in.
#pragma once

#include "conversion_files.h"

namespace qm {

struct input_file : test::conversion_files {};

const std::string past_end = "Error (Input past end of file) in (",
                  report_end = ") routine.\n\rReturning to main menu",
                  valid = "found  File Format is Valid|",
                  no = "not found  Checking File Format is Valid|";

} // namespace qm
