#include "common/local_clock.h"

#include <utility>

namespace {

std::function<LocalMoment()>& overridden() {
    static std::function<LocalMoment()> clock;
    return clock;
}

}  // namespace

LocalMoment readLocalMoment() {
    const auto& clock = overridden();
    return clock ? clock() : readSystemLocalMoment();
}

void overrideLocalClock(std::function<LocalMoment()> clock) { overridden() = std::move(clock); }
