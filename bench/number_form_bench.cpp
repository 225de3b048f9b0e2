// The number forms run once per value written into every time series.
#include "platform/number_form.h"
#include "platform/val.h"

#include <benchmark/benchmark.h>

namespace {

void text_form_double(benchmark::State& state) {
    double x = -33592.4528073;
    for (auto _ : state) {
        benchmark::DoNotOptimize(qm::text_form(x));
        x += 0.001;
    }
}
BENCHMARK(text_form_double);

void val_of_a_gaussian_field(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(qm::val("   -0.477047    "));
}
BENCHMARK(val_of_a_gaussian_field);

} // namespace
