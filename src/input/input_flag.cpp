#include "input/input_flag.h"

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<std::uint32_t>::is_always_lock_free,
              "the hook procedure must never take a lock");

std::atomic<bool> inputSeen{false};
std::atomic<std::uint32_t> firstInputTime{0};

HookedInput takeInput() {
    if (!inputSeen.load(std::memory_order_acquire)) return {};
    const std::uint32_t firstAt = firstInputTime.load(std::memory_order_relaxed);
    inputSeen.store(false, std::memory_order_relaxed);
    return {true, firstAt};
}
