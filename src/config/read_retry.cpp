#include "config/read_retry.h"

#include <algorithm>

namespace {

std::int64_t localSeconds(LocalMoment moment) { return std::int64_t{moment.day} * secondsPerDay + moment.secondOfDay; }

}  // namespace

void ReadRetry::failed(LocalMoment now) {
    wait_ = waiting_ ? std::min(wait_ * 2, longestWait) : firstWait;
    waiting_ = true;
    failedAt_ = localSeconds(now);
}

bool ReadRetry::due(LocalMoment now) const {
    if (!waiting_) return false;
    const std::int64_t waited = localSeconds(now) - failedAt_;
    return waited < 0 || waited >= wait_;
}
