#include "input/input_flag.h"

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<std::uint32_t>::is_always_lock_free,
              "the hook procedure must never take a lock");

std::atomic<bool> inputSeen{false};
std::atomic<std::uint32_t> firstInputTime{0};
std::atomic<bool> inputNoticed{false};
std::atomic<std::uint64_t> pointerPosition{0};

HookedInput takeInput() {
    const bool noticed = inputNoticed.load(std::memory_order_relaxed) && inputNoticed.exchange(false);
    if (!inputSeen.load(std::memory_order_acquire)) return {false, 0, noticed};
    const std::uint32_t firstAt = firstInputTime.load(std::memory_order_relaxed);
    inputSeen.store(false, std::memory_order_relaxed);
    return {true, firstAt, noticed};
}
