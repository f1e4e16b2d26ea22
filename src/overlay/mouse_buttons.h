#pragma once

// The overlay's buttons by role, as Windows reports them in messages: the primary one drags the
// overlay and picks a target, the secondary one opens its menu. A left-handed user swaps them in
// Windows' mouse settings; the asynchronous key state still reads the physical buttons.
enum class MouseButton { primary, secondary };

// The virtual key (VK_LBUTTON 0x01, VK_RBUTTON 0x02) that GetAsyncKeyState reads for `button`,
// with the buttons swapped (GetSystemMetrics(SM_SWAPBUTTON)) or not.
constexpr int virtualKeyOf(MouseButton button, bool swapped) {
    return (button == MouseButton::primary) != swapped ? 0x01 : 0x02;
}
