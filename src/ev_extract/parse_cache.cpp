#include "ev_extract/parse_cache.h"

#include "platform/error_report.h"

#include <algorithm>
#include <exception>
#include <thread>

namespace qm {
namespace {

constexpr long long batch_files = 64;

} // namespace

parse_cache::parse_cache(const file_series& series, input_kind kind, parse_options options)
    : series_(series), kind_(kind), options_(options),
      entries_(static_cast<std::size_t>(series.used_slots())), text_limit_(worker_text_limit()) {}

void parse_cache::parse_one(long long f) {
    entry& e = entries_[series_.used_index(f)];
    const std::string path = series_.data_path + series_.file_name(f);
    try {
        thread_local std::string text; // one buffer per worker, reused for every file
        read_file_text(path, kind_, text, text_limit_);
        e.output = parse_excited_state_output(text, options_);
    } catch (const std::exception& failure) {
        e.error = as_run_error(failure);
        e.error->in_file(path); // whatever went wrong, it went wrong in this file
    }
    e.done = true;
}

void parse_cache::parse_batch(long long first) {
    std::vector<long long> slots;
    for (long long f = first;
         f <= series_.file_count && static_cast<long long>(slots.size()) < batch_files;
         f += series_.slot_interval)
        if (!entries_[series_.used_index(f)].done)
            slots.push_back(f);
    const unsigned workers =
        std::min<unsigned>(parse_workers(), static_cast<unsigned>(slots.size()));
    std::vector<std::thread> threads;
    for (unsigned w = 1; w < workers; ++w)
        threads.emplace_back([&, w] {
            for (std::size_t i = w; i < slots.size(); i += workers)
                parse_one(slots[i]);
        });
    for (std::size_t i = 0; i < slots.size(); i += std::max(workers, 1u))
        parse_one(slots[i]);
    for (auto& t : threads)
        t.join();
}

const parsed_output& parse_cache::at(long long f) {
    entry& e = entries_[series_.used_index(f)];
    if (!e.done)
        parse_batch(f);
    if (e.error)
        throw *e.error;
    if (!e.output)
        throw run_error(51, "Internal error (slot read after its last root)");
    return *e.output;
}

} // namespace qm
