#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Pens and touch screens. A program that takes the pen as Windows Ink handles its pointer
// messages itself, and Windows makes mouse input of them only for a program that passes them on
// to DefWindowProc: such strokes never reach the low-level mouse hook. Raw input from the
// digitizers reaches a window of the hook thread whatever program is in front. A digitizer
// reports many times a second whether or not anyone moves the pen (a pen resting on the tablet,
// or hovering, jitters by a unit or two; a scan time ticks), so its reports count only for what
// the hand does: the tip or a button going down or up, the pen coming into range, and movement
// beyond a small distance. Everything here runs on the hook thread.

struct HidUsage {
    std::uint16_t page;
    std::uint16_t usage;
};
// The HID digitizer page, 0x0D: pens (0x02) and touch screens (0x04).
constexpr HidUsage digitizerUsages[] = {{0x0D, 0x02}, {0x0D, 0x04}};

enum class DigitizerKind { pen, touch };

// One axis as the device describes it: its logical range, and its physical extent where the
// device gives one (the HID value caps' physical range, units and unit exponent).
struct DigitizerAxis {
    long logicalMin = 0;
    long logicalMax = 0;
    long physicalMin = 0;
    long physicalMax = 0;
    std::uint32_t units = 0;     // HID unit code: 0x11 centimetres, 0x13 inches, anything else unknown
    std::uint32_t unitsExp = 0;  // HID unit exponent, four bits of two's complement
};

// The axis's physical extent in millimetres, or 0 where the device does not say.
double physicalExtentMm(const DigitizerAxis& axis);

// Logical units of movement along an axis that count as the hand moving: about half a
// millimetre where the physical extent is known, else 1/2000 of the logical range; never less
// than the jitter of a resting pen.
double movementThreshold(const DigitizerAxis& axis);

// One pen or finger in one report, as the HID parser reads it.
struct PenContact {
    std::uint32_t id = 0;    // the contact's identifier where the device numbers them (fingers), else 0
    bool inRange = false;    // in range: hovering or touching (a device without the usage: tip)
    bool tip = false;        // tip switch: touching
    bool barrel = false;     // barrel button
    bool eraser = false;     // eraser switch, or the pen turned over
    bool confident = true;   // the device's Confidence usage; true where it has none
    long x = 0;
    long y = 0;
};

// Counts pens and fingers by what they do. `thresholdX` and `thresholdY` are the device's
// movementThreshold along each axis.
class PenRule {
public:
    // True when this contact's report is the hand's doing.
    bool note(std::uintptr_t device, const PenContact& contact, double thresholdX, double thresholdY);

private:
    struct Known {
        std::uintptr_t device;
        std::uint32_t id;
        PenContact counted;  // as at the last report that counted (the buttons: as last seen)
    };
    std::vector<Known> known_;
};

// Where a low-level mouse event came from. Windows marks the mouse input it makes of a pen or a
// touch in its extra information: masked with 0xFFFFFF00 it is 0xFF515700, and bit 0x80 tells a
// touch from a pen.
enum class PointerSource { mouse, pen, touch };
PointerSource pointerSource(std::uintptr_t extraInfo);

// The digitizers' reports as raw input delivers them, for a device whose reports the HID parser
// cannot read: a report that repeats its device's last one byte for byte (a pen lying still in
// range, a device that reports at a fixed rate) is nobody's doing, as a mouse move that leaves
// the pointer where it was; any other raises the input flag with its time.
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

// Which digitizers' reports are being read by the HID parser now, so that the mouse input
// Windows makes of the same strokes is left to PenRule instead of counting every pixel. Where
// raw input never arrives (a refused registration, a vendor's driver), mouse input from a pen
// counts as any mouse input does, so that pen work is never lost.
class ParsedDigitizers {
public:
    // A report of that kind was read at `time` (GetTickCount clock).
    void reportRead(DigitizerKind kind, std::uint32_t time);
    // True when a mouse event from `source` at `time` is left to PenRule.
    bool leftToPenRule(PointerSource source, std::uint32_t time) const;

    // Reports come a hundred times a second or more while a pen is in range; after this long
    // without one the pen has gone, or raw input has.
    static constexpr std::uint32_t liveMs = 1000;

private:
    bool pen_ = false, touch_ = false;
    std::uint32_t penAt_ = 0, touchAt_ = 0;
};
