#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Pens and touch screens. A program that takes the pen as Windows Ink handles its pointer
// messages itself, and Windows makes mouse input of them only for a program that passes them on
// to DefWindowProc: such strokes never reach the low-level mouse hook. Raw input from the
// digitizers reaches a window of the hook thread whatever program is in front, and counts as
// the hooks' input does.

struct HidUsage {
    std::uint16_t page;
    std::uint16_t usage;
};
// The HID digitizer page, 0x0D: pens (0x02) and touch screens (0x04).
constexpr HidUsage digitizerUsages[] = {{0x0D, 0x02}, {0x0D, 0x04}};

// The digitizers' reports as raw input delivers them. A report that repeats its device's last
// one byte for byte (a pen lying still in range, a device that reports at a fixed rate) is
// nobody's doing, as a mouse move that leaves the pointer where it was; any other raises the
// input flag with its time. Hook thread only.
class DigitizerReports {
public:
    // One delivery of `size` bytes from `device` at `time` (GetTickCount clock); true when it
    // counted as input.
    bool note(std::uintptr_t device, const std::uint8_t* report, std::size_t size, std::uint32_t time);

private:
    struct Last {
        std::uintptr_t device;
        std::vector<std::uint8_t> report;
    };
    std::vector<Last> last_;
};
