#include "input/input_flag.h"

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<std::uint32_t>::is_always_lock_free,
              "the hook procedure must never take a lock");

std::atomic<bool> inputSeen{false};
std::atomic<std::uint32_t> firstInputTime{0};
