// A Cartesian atom line of a molecule, as Gaussian inputs carry it and Gaussian
// outputs echo it: a label, an optional freeze code (0 or negative), then x, y and z. ONIOM
// inputs add the layer and link-atom fields after the coordinates:
//
//   C      0.0   0.0   1.5
//   C  -1  0.0   0.0   1.5
//   O  -1 -1.5   0.5   0.25  L
//   C   0  1.0   2.0   3.0   H  H4  1
//
// A positive integer after the label is a Z-matrix reference ("H 2 1.09 1 109.5"), never a code.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace qm {

// Which field holds x (1, or 2 after a freeze code); nullopt when the fields are not a label
// followed by three numbers, with or without a code, whatever stands after them.
std::optional<std::size_t> cartesian_x_field(const std::vector<std::string_view>& fields);

} // namespace qm
