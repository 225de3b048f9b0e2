#include "ev_extract/parse_cache.h"

#include "platform/error_report.h"

#include <algorithm>
#include <exception>

namespace qm {
namespace {

// How far the workers run ahead of the slot being processed: the parses they hold meanwhile
// are what the job's memory grows by.
constexpr std::size_t look_ahead = 64;
// The files a worker takes at a time: few enough that the workers end the series together,
// enough that they rarely meet at the lock.
constexpr std::size_t range_files = 4;

} // namespace

parse_cache::parse_cache(const file_series& series, input_kind kind, parse_options options)
    : series_(series), kind_(kind), options_(options),
      slots_(static_cast<std::size_t>(std::max(0LL, series.used_slots()))),
      // The slots in hand are the one processed and those below the look-ahead bound.
      entries_(std::max<std::size_t>(1, std::min(slots_, look_ahead + 1))),
      text_limit_(worker_text_limit()) {
    // The job's own thread is one of the workers.
    const unsigned threads =
        std::min<unsigned>(parse_workers(), static_cast<unsigned>(std::min(slots_, entries_.size())));
    for (unsigned w = 1; w < threads; ++w)
        workers_.emplace_back([this] { work(); });
}

parse_cache::~parse_cache() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    work_ready_.notify_all();
    for (auto& worker : workers_)
        worker.join();
}

std::pair<std::size_t, std::size_t> parse_cache::take_range() {
    const std::size_t first = next_;
    next_ = std::min(first + range_files, horizon_);
    for (std::size_t i = first; i < next_; ++i) {
        entry& e = entry_of(i);
        e.slot = i;
        e.done = false;
        e.error.reset();
    }
    return {first, std::max(first, next_)};
}

void parse_cache::parse_range(std::pair<std::size_t, std::size_t> range) {
    for (std::size_t i = range.first; i < range.second; ++i)
        parse_one(i);
    {
        std::lock_guard lock(mutex_);
        for (std::size_t i = range.first; i < range.second; ++i)
            entry_of(i).done = true;
    }
    slot_done_.notify_all();
}

void parse_cache::parse_one(std::size_t index) {
    entry& e = entry_of(index);
    const long long f = 1 + static_cast<long long>(index) * series_.slot_interval;
    // One buffer per worker, reused for every file.
    thread_local std::string path;
    thread_local std::string text;
    try {
        path.assign(series_.data_path);
        path.append(series_.file_name(f));
        try {
            read_file_text(path, kind_, text, text_limit_);
            e.output = parse_excited_state_output(text, options_);
        } catch (const std::exception& failure) {
            e.error = as_run_error(failure);
            e.error->in_file(path); // whatever went wrong, it went wrong in this file
        }
    } catch (const std::exception& failure) {
        e.error = as_run_error(failure); // the memory for the file's name ran out
    }
}

// A worker thread's life: ranges of slots while the job wants them, until the run ends.
void parse_cache::work() {
    for (;;) {
        std::pair<std::size_t, std::size_t> range;
        {
            std::unique_lock lock(mutex_);
            work_ready_.wait(lock, [&] { return stopping_ || next_ < horizon_; });
            if (stopping_)
                return;
            range = take_range();
        }
        parse_range(range);
    }
}

const parsed_output& parse_cache::at(long long f) {
    const std::size_t index = series_.used_index(f);
    entry& e = entry_of(index);
    {
        std::unique_lock lock(mutex_);
        const std::size_t horizon = std::min(index + look_ahead, slots_);
        if (horizon > horizon_) {
            horizon_ = horizon;
            work_ready_.notify_all();
        }
        // Until the slot is parsed, this thread parses what is handed out next (the slot itself
        // first, if no worker has taken it yet) or waits for the worker that took it. Every
        // round parses a range or ends one, so it ends by the end of the series.
        while (e.slot != index || !e.done) {
            if (next_ < horizon_) {
                const auto range = take_range();
                lock.unlock();
                parse_range(range);
                lock.lock();
            } else {
                slot_done_.wait(lock);
            }
        }
    }
    if (e.error)
        throw *e.error;
    if (!e.output)
        throw run_error(51, "Internal error (slot read after its release)");
    return *e.output;
}

} // namespace qm
