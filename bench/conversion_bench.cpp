// XYZ to PDB conversion of a large generated structure, the whole job as the user runs it.
#include "conversion/conversion_job.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace {

class quiet_ui final : public qm::JobUi {
public:
    void status(std::string_view) override {}
    void counts(std::string_view, std::string_view) override {}
    void progress_range(long long, long long) override {}
    void progress_value(long long) override {}
    void progress_to_maximum() override {}
    void repaint() override {}
    void busy(bool) override {}
    void message(qm::message_icon, std::string_view, std::string_view) override {}
};

void xyz_to_pdb(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "quillmark-bench";
    std::filesystem::create_directories(dir);
    const long atoms = state.range(0);
    {
        std::ofstream out(dir / "big.xyz", std::ios::binary);
        out << "generated\n";
        for (long i = 0; i < atoms; ++i)
            out << (i % 2 == 0 ? "6" : "1") << " " << i % 100 << ".250000 -1.250000 3.500000\n";
    }
    qm::conversion_settings s{dir / "big.xyz",     dir / "big.pdb",      "big.pdb",
                              qm::input_type::xyz, qm::output_type::pdb, false};
    quiet_ui ui;
    for (auto _ : state)
        benchmark::DoNotOptimize(qm::run_conversion(s, ui));
    state.SetItemsProcessed(state.iterations() * atoms);
    std::filesystem::remove_all(dir);
}
BENCHMARK(xyz_to_pdb)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
