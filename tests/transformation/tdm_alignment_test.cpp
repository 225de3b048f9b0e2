// The whole path of the TDM alignment: a series whose structures are rotated copies of one
// structure, with TDMs rotated alike, comes back aligned onto the first file by our fitting
// program.
#include "platform/val.h"

#include "../ev_extract/ev_series.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qm {
namespace {

using matrix = std::array<std::array<double, 3>, 3>;

// Rotation by `angle` about the unit axis (1, 2, 3) / |(1, 2, 3)|.
matrix rotation(double angle) {
    const double n = std::sqrt(14.0), x = 1 / n, y = 2 / n, z = 3 / n;
    const double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    return {{{t * x * x + c, t * x * y - s * z, t * x * z + s * y},
             {t * x * y + s * z, t * y * y + c, t * y * z - s * x},
             {t * x * z - s * y, t * y * z + s * x, t * z * z + c}}};
}

std::array<double, 3> apply(const matrix& m, const std::array<double, 3>& v) {
    std::array<double, 3> w{};
    for (std::size_t i = 0; i < 3; ++i)
        w[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
    return w;
}

std::vector<double> numbers(const std::string& line) {
    std::vector<double> out;
    for (const auto field : split_fields(line, " \r"))
        out.push_back(val(field));
    return out;
}

struct tdm_alignment : test::ev_series {};

TEST_F(tdm_alignment, RotatedCopiesComeBackOntoTheFirstFile) {
    const std::vector<std::array<double, 3>> atoms = {
        {0.0, 0.0, 0.0}, {1.52, 0.0, 0.0}, {-0.51, 1.43, 0.0}, {-0.5, -0.7, 1.2}, {2.1, 0.9, -0.8}};
    const std::array<double, 3> tdm1{0.6769, 0.1, -0.658}, tdm2{0.05, 0.0751, 0.3};
    const int files = 6;
    std::vector<std::string> outputs;
    for (int i = 1; i <= files; ++i) {
        const matrix r = rotation(0.45 * (i - 1));
        std::string structure;
        for (const auto& a : atoms) {
            const auto p = apply(r, a);
            structure += " C    " + test::fixed(p[0], 12, 6) + test::fixed(p[1], 12, 6) +
                         test::fixed(p[2], 12, 6) + " \n";
        }
        test::td_state first{3.0, 0.3}, second{3.5, 0.2};
        const auto a = apply(r, tdm1), b = apply(r, tdm2);
        std::tie(first.x, first.y, first.z) = std::tuple{a[0], a[1], a[2]};
        std::tie(second.x, second.y, second.z) = std::tuple{b[0], b[1], b[2]};
        outputs.push_back(test::td_output({first, second}, test::default_scf, structure));
    }
    series(outputs);
    test::write_file(dir / "prmtop", "topology of the test molecule\n");
    texts.root_end = "2";
    texts.no_roots = "2";
    choices.rel_tdm = choices.tdm_angle = true;
    ASSERT_EQ(run(), ev_outcome::completed) << last_text();

    // Every aligned TDM is the first file's, within the four decimals of the table.
    for (const char* name : {"transformed_tdm.1.dat", "transformed_tdm.2.dat"}) {
        const auto lines = test::lines_of(out(name));
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(files)) << name;
        const auto reference = numbers(lines[0]);
        for (const auto& line : lines) {
            const auto v = numbers(line);
            for (std::size_t c = 0; c < 3; ++c)
                EXPECT_NEAR(v[c], reference[c], 2e-4) << name << ": " << line;
        }
    }
    // After the fit the two roots stand at the angle they had before it.
    const auto before = test::lines_of(out("vector_angles_before fit.dat"));
    const auto after = test::lines_of(out("vector_angles_after_fit.dat"));
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i)
        EXPECT_NEAR(numbers(after[i])[1], numbers(before[i])[1], 0.02) << i;
    // The fits ran in a folder of their own.
    EXPECT_FALSE(std::filesystem::exists(dir / "inpcrd"));
    EXPECT_FALSE(std::filesystem::exists(dir / "fort.55"));
}

} // namespace
} // namespace qm
