#include "input/missed_input.h"

void MissedInput::start(std::uint32_t lastInputTime) {
    known_ = lastInputTime;
    behind_ = false;
    silentMoves_ = 0;
}

void MissedInput::hooksSawInput() {
    // The next look only catches up: the move it finds is what the hooks already saw.
    behind_ = true;
    silentMoves_ = 0;
}

MissedInput::Verdict MissedInput::look(std::uint32_t lastInputTime, const std::function<bool()>& foregroundAboveUs) {
    const bool moved = lastInputTime != known_;
    known_ = lastInputTime;
    if (behind_) {
        behind_ = false;
        return {};
    }
    if (!moved) {
        silentMoves_ = 0;
        return {};
    }
    if (foregroundAboveUs()) return {true, lastInputTime, false};
    if (++silentMoves_ < silentHookLooks) return {};
    return {true, lastInputTime, silentMoves_ == silentHookLooks};
}
