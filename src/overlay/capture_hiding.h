#pragma once

#include <cstdint>

// Screen shares and recordings can leave a window out from Windows 10 version 2004 (build 19041)
// on. Before it the same request acts as the older "monitor only" one and shows a black box in
// its place, worse than the overlay itself: the choice is offered by the build, not by whether
// the call happens to succeed.
constexpr std::uint32_t firstBuildHidingFromCapture = 19041;

constexpr bool captureHidingAvailable(std::uint32_t windowsBuild) { return windowsBuild >= firstBuildHidingFromCapture; }
