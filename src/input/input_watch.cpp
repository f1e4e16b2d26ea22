#include "input/input_watch.h"

#include <utility>

#include "input/input_flag.h"

InputWatch::InputWatch(InputSystem system) : system_(std::move(system)) {
    lastAsked_ = system_.lastInputTime();
    missed_.start(lastAsked_);
}

InputSinceLastFrame InputWatch::poll(bool askSystem) {
    const HookedInput flagged = takeInput();
    InputSinceLastFrame input{flagged.seen, flagged.firstAt};
    if (flagged.seen || flagged.noticed) flagSeen_ = true;
    if (!askSystem) return input;
    // While the flag is raised the hooks and raw input are taken to see all input, and the
    // system is not asked: a pen's strokes never make the hooks be put back. Input they saw and
    // left uncounted (a pen resting on the tablet) moves the system's time too, and is no one's
    // work either.
    if (std::exchange(flagSeen_, false)) {
        lively_ = true;
        missed_.hooksSawInput();
        return input;
    }
    // The latest input, not the first: a long silence before it is still seen as one.
    const std::uint32_t lastInput = system_.lastInputTime();
    lively_ = lastInput != lastAsked_;
    lastAsked_ = lastInput;
    const MissedInput::Verdict verdict = missed_.look(lastInput, system_.foregroundAboveUs);
    if (verdict.reinstallHooks && system_.reinstallHooks) system_.reinstallHooks();
    if (!input.seen && verdict.input) input = {true, verdict.at};
    return input;
}
