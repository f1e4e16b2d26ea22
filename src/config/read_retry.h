#pragma once

#include <cstdint>

#include "common/calendar.h"

// When to read again a file that could not be read for a moment (a virus scanner or a sync
// client holding it, a read error): a second after the first failure, then twice as long
// after each further one, up to a minute, so that a file held for long costs next to nothing.
class ReadRetry {
public:
    static constexpr std::int64_t firstWait = 1;
    static constexpr std::int64_t longestWait = 60;

    // A read failed at `now`.
    void failed(LocalMoment now);
    // The file was read: nothing is waiting.
    void succeeded() { waiting_ = false; }
    bool waiting() const { return waiting_; }
    // Whether the next read is due at `now`; a clock set back makes it due at once.
    bool due(LocalMoment now) const;

private:
    bool waiting_ = false;
    std::int64_t failedAt_ = 0;  // local seconds
    std::int64_t wait_ = 0;
};
