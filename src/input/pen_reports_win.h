#pragma once

#include <windows.h>

// MinGW's hidpi.h neither includes hidusage.h, whose types it uses, nor declares its functions
// extern "C".
extern "C" {
#include <hidusage.h>
#include <hidpi.h>
}

#include <cstdint>
#include <vector>

#include "input/pen_input.h"

// Where a digitizer's reports hold each pen or finger, read from its HID preparsed data.
struct DigitizerLayout {
    struct Contact {
        USHORT link = 0;  // the HID link collection that holds this pen's or finger's fields
        bool hasInRange = false;
        bool hasConfidence = false;
        bool hasId = false;
        DigitizerAxis x, y;
        USHORT bitsX = 0, bitsY = 0;
    };
    std::vector<Contact> contacts;
    bool hasContactCount = false;
    // Without a position to read, the reports are compared byte for byte (DigitizerReports).
    bool parsed() const { return !contacts.empty(); }
};
DigitizerLayout digitizerLayout(PHIDP_PREPARSED_DATA preparsed);

// One pen or finger of a report, with the movement that counts along each axis.
struct ReadContact {
    PenContact contact;
    double thresholdX = 0, thresholdY = 0;
};
// The pens and fingers that one report holds, added to `out`. `remaining` carries the count of
// a touch screen's frame across the reports it is spread over.
void readContacts(const DigitizerLayout& layout, PHIDP_PREPARSED_DATA preparsed, BYTE* report, ULONG size,
                  ULONG& remaining, std::vector<ReadContact>& out);

// The digitizers' raw input read with the HID parser: each report's pens and fingers (tip,
// range, buttons, confidence, position) go to PenRule; a device whose reports the parser cannot
// read goes by DigitizerReports, as before. Hook thread only.
class DigitizerInput {
public:
    // One WM_INPUT, posted at `time` (GetTickCount clock). Raises the input flag for what the
    // hand did, and notes the rest as uncounted input.
    void note(HRAWINPUT input, std::uint32_t time);
    // Whether a low-level mouse event, by its extra information and time, is left to PenRule.
    bool leavesMouseEvent(ULONG_PTR extraInfo, std::uint32_t time) const {
        return parsed_.leftToPenRule(pointerSource(extraInfo), time);
    }

private:
    struct Device {
        HANDLE handle = nullptr;
        DigitizerKind kind = DigitizerKind::pen;
        std::vector<BYTE> preparsed;
        DigitizerLayout layout;
        ULONG remaining = 0;  // contacts of a frame still to come in later reports
    };

    Device& deviceFor(HANDLE handle);

    std::vector<Device> devices_;
    std::vector<BYTE> buffer_;
    std::vector<ReadContact> contacts_;
    PenRule rule_;
    DigitizerReports unparsed_;
    ParsedDigitizers parsed_;
};
