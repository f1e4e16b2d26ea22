#include "sharing/share_schedule.h"

#include <algorithm>
#include <limits>

namespace {

std::uint64_t until(std::uint64_t now, std::uint64_t at) { return at > now ? at - now : 0; }

}  // namespace

void ShareSchedule::changeSeen(std::uint64_t now) {
    changed_ = true;
    changedAt_ = now;
}

void ShareSchedule::readDone(std::uint64_t now, bool reached) {
    requested_ = false;
    changed_ = false;
    readOnce_ = true;
    reached_ = reached;
    lastRead_ = now;
    lastLook_ = now;
}

std::uint64_t ShareSchedule::untilRead(std::uint64_t now) const {
    if (requested_ || !readOnce_) return 0;
    std::uint64_t wait = until(now, lastRead_ + readEveryMs);
    if (watching_ && changed_) wait = std::min(wait, until(now, changedAt_ + quietMs));
    if (watching_ && !reached_) wait = std::min(wait, until(now, lastRead_ + lookEveryMs));
    return wait;
}

std::uint64_t ShareSchedule::untilLook(std::uint64_t now) const {
    if (!watching_ || !reached_ || !readOnce_) return std::numeric_limits<std::uint64_t>::max();
    return until(now, lastLook_ + lookEveryMs);
}

std::uint64_t ShareSchedule::waitMs(std::uint64_t now) const { return std::min(untilRead(now), untilLook(now)); }
