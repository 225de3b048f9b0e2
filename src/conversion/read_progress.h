// The progress bar of the conversion readers: maximum (length / 128) + 1 and the value from the
// read position, in blocks of 128 bytes. It remembers both, so the frequency table writer can
// step on from where the reader stopped.
#pragma once

#include "platform/job_ui.h"
#include "platform/line_reader.h"

namespace qm {

class read_progress {
public:
    read_progress(JobUi& ui, std::uint64_t length) : ui_(ui), maximum_(progress_maximum(length)) {
        ui_.progress_range(0, maximum_);
        show(0);
    }

    void update(const line_reader& reader) {
        const long long blocks = progress_blocks(reader.position());
        if (blocks != value_)
            show(blocks);
    }
    void show(long long value) {
        value_ = value;
        ui_.progress_value(value_);
    }

    long long maximum() const { return maximum_; }
    long long value() const { return value_; }

private:
    JobUi& ui_;
    long long maximum_;
    long long value_ = 0;
};

} // namespace qm
