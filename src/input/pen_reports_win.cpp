#include "input/pen_reports_win.h"

#include <algorithm>
#include <cstddef>

#include "input/input_flag.h"

namespace {

constexpr USAGE genericDesktopPage = 0x01, usageX = 0x30, usageY = 0x31;
constexpr USAGE digitizerPage = 0x0D;
constexpr USAGE inRangeUsage = 0x32, invertUsage = 0x3C, tipUsage = 0x42, barrelUsage = 0x44, eraserUsage = 0x45,
                confidenceUsage = 0x47, contactIdUsage = 0x51, contactCountUsage = 0x54;

bool covers(const HIDP_VALUE_CAPS& caps, USAGE page, USAGE usage) {
    if (caps.UsagePage != page) return false;
    return caps.IsRange ? caps.Range.UsageMin <= usage && usage <= caps.Range.UsageMax : caps.NotRange.Usage == usage;
}

bool covers(const HIDP_BUTTON_CAPS& caps, USAGE usage) {
    if (caps.UsagePage != digitizerPage) return false;
    return caps.IsRange ? caps.Range.UsageMin <= usage && usage <= caps.Range.UsageMax : caps.NotRange.Usage == usage;
}

DigitizerAxis axisOf(const HIDP_VALUE_CAPS& caps) {
    return {caps.LogicalMin, caps.LogicalMax, caps.PhysicalMin, caps.PhysicalMax, caps.Units, caps.UnitsExp};
}

// A value read as the device means it: negative where its logical range goes below zero.
long signedValue(ULONG raw, const DigitizerAxis& axis, USHORT bits) {
    if (axis.logicalMin >= 0 || bits == 0 || bits >= 32) return static_cast<long>(raw);
    const ULONG sign = 1ul << (bits - 1);
    return (raw & sign) ? static_cast<long>(raw) - static_cast<long>(sign << 1) : static_cast<long>(raw);
}

}  // namespace

DigitizerLayout digitizerLayout(PHIDP_PREPARSED_DATA preparsed) {
    DigitizerLayout layout;
    HIDP_CAPS caps{};
    if (HidP_GetCaps(preparsed, &caps) != HIDP_STATUS_SUCCESS) return layout;
    USHORT valueCount = caps.NumberInputValueCaps, buttonCount = caps.NumberInputButtonCaps;
    std::vector<HIDP_VALUE_CAPS> values(valueCount);
    std::vector<HIDP_BUTTON_CAPS> buttons(buttonCount);
    if (valueCount && HidP_GetValueCaps(HidP_Input, values.data(), &valueCount, preparsed) != HIDP_STATUS_SUCCESS)
        return layout;
    if (buttonCount && HidP_GetButtonCaps(HidP_Input, buttons.data(), &buttonCount, preparsed) != HIDP_STATUS_SUCCESS)
        return layout;
    values.resize(valueCount);
    buttons.resize(buttonCount);

    // A pen, or each finger of a touch screen, is the link collection that holds an X and a Y.
    for (const HIDP_VALUE_CAPS& x : values) {
        if (!covers(x, genericDesktopPage, usageX)) continue;
        const auto y = std::find_if(values.begin(), values.end(), [&](const HIDP_VALUE_CAPS& v) {
            return v.LinkCollection == x.LinkCollection && covers(v, genericDesktopPage, usageY);
        });
        if (y == values.end()) continue;
        DigitizerLayout::Contact contact;
        contact.link = x.LinkCollection;
        contact.x = axisOf(x);
        contact.y = axisOf(*y);
        contact.bitsX = x.BitSize;
        contact.bitsY = y->BitSize;
        contact.hasId = std::any_of(values.begin(), values.end(), [&](const HIDP_VALUE_CAPS& v) {
            return v.LinkCollection == x.LinkCollection && covers(v, digitizerPage, contactIdUsage);
        });
        for (const HIDP_BUTTON_CAPS& b : buttons) {
            if (b.LinkCollection != x.LinkCollection) continue;
            contact.hasInRange = contact.hasInRange || covers(b, inRangeUsage);
            contact.hasConfidence = contact.hasConfidence || covers(b, confidenceUsage);
        }
        layout.contacts.push_back(contact);
    }
    layout.hasContactCount = std::any_of(values.begin(), values.end(), [](const HIDP_VALUE_CAPS& v) {
        return covers(v, digitizerPage, contactCountUsage);
    });
    return layout;
}

void readContacts(const DigitizerLayout& layout, PHIDP_PREPARSED_DATA preparsed, BYTE* report, ULONG size,
                  ULONG& remaining, std::vector<ReadContact>& out) {
    const auto bytes = reinterpret_cast<PCHAR>(report);
    // A touch screen in hybrid mode spreads a frame's fingers over several reports: the first
    // says how many there are, and the slots past them in the last one are empty.
    std::size_t valid = layout.contacts.size();
    if (layout.hasContactCount) {
        ULONG count = 0;
        if (HidP_GetUsageValue(HidP_Input, digitizerPage, 0, contactCountUsage, &count, preparsed, bytes, size) ==
                HIDP_STATUS_SUCCESS &&
            count > 0)
            remaining = count;
        valid = std::min<std::size_t>(valid, remaining);
        remaining -= static_cast<ULONG>(valid);
    }
    for (std::size_t i = 0; i < valid; ++i) {
        const DigitizerLayout::Contact& c = layout.contacts[i];
        ULONG rawX = 0, rawY = 0;
        // Another report ID of the device (a battery's, a vendor's) holds no position.
        if (HidP_GetUsageValue(HidP_Input, genericDesktopPage, c.link, usageX, &rawX, preparsed, bytes, size) !=
                HIDP_STATUS_SUCCESS ||
            HidP_GetUsageValue(HidP_Input, genericDesktopPage, c.link, usageY, &rawY, preparsed, bytes, size) !=
                HIDP_STATUS_SUCCESS)
            continue;
        USAGE down[32];
        ULONG downCount = static_cast<ULONG>(std::size(down));
        if (HidP_GetUsages(HidP_Input, digitizerPage, c.link, down, &downCount, preparsed, bytes, size) !=
            HIDP_STATUS_SUCCESS)
            downCount = 0;
        const auto isDown = [&](USAGE usage) { return std::find(down, down + downCount, usage) != down + downCount; };
        ReadContact& read = out.emplace_back();
        PenContact& contact = read.contact;
        contact.tip = isDown(tipUsage);
        contact.inRange = c.hasInRange ? isDown(inRangeUsage) : contact.tip;
        contact.barrel = isDown(barrelUsage);
        contact.eraser = isDown(eraserUsage) || isDown(invertUsage);
        contact.confident = !c.hasConfidence || isDown(confidenceUsage);
        contact.x = signedValue(rawX, c.x, c.bitsX);
        contact.y = signedValue(rawY, c.y, c.bitsY);
        ULONG id = 0;
        const bool numbered =
            c.hasId && HidP_GetUsageValue(HidP_Input, digitizerPage, c.link, contactIdUsage, &id, preparsed, bytes,
                                          size) == HIDP_STATUS_SUCCESS;
        contact.id = numbered ? id : static_cast<std::uint32_t>(i);
        read.thresholdX = movementThreshold(c.x);
        read.thresholdY = movementThreshold(c.y);
    }
}

DigitizerInput::Device& DigitizerInput::deviceFor(HANDLE handle) {
    const auto known = std::find_if(devices_.begin(), devices_.end(), [&](const Device& d) { return d.handle == handle; });
    if (known != devices_.end()) return *known;
    // Devices come and go (a tablet plugged in again gets a new handle); a few are kept.
    if (devices_.size() >= 8) devices_.erase(devices_.begin());
    Device& device = devices_.emplace_back();
    device.handle = handle;

    RID_DEVICE_INFO info{};
    info.cbSize = sizeof info;
    UINT infoSize = sizeof info;
    if (GetRawInputDeviceInfoW(handle, RIDI_DEVICEINFO, &info, &infoSize) != static_cast<UINT>(-1) &&
        info.dwType == RIM_TYPEHID && info.hid.usUsagePage == digitizerPage && info.hid.usUsage == 0x04)
        device.kind = DigitizerKind::touch;
    UINT size = 0;
    if (GetRawInputDeviceInfoW(handle, RIDI_PREPARSEDDATA, nullptr, &size) != 0 || size == 0) return device;
    device.preparsed.resize(size);
    if (GetRawInputDeviceInfoW(handle, RIDI_PREPARSEDDATA, device.preparsed.data(), &size) == static_cast<UINT>(-1))
        return device;
    device.layout = digitizerLayout(reinterpret_cast<PHIDP_PREPARSED_DATA>(device.preparsed.data()));
    return device;
}

void DigitizerInput::note(HRAWINPUT input, std::uint32_t time) {
    // The report's size first: a touch screen's frame of ten fingers can be large.
    UINT size = 0;
    if (GetRawInputData(input, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER)) != 0 || size == 0) return;
    if (buffer_.size() < size) buffer_.resize(size);
    if (GetRawInputData(input, RID_INPUT, buffer_.data(), &size, sizeof(RAWINPUTHEADER)) == static_cast<UINT>(-1))
        return;
    RAWINPUT raw{};
    std::copy_n(buffer_.data(), std::min<std::size_t>(sizeof raw, size), reinterpret_cast<BYTE*>(&raw));
    if (raw.header.dwType != RIM_TYPEHID) return;
    const std::size_t offset = offsetof(RAWINPUT, data.hid.bRawData);
    const std::size_t bytes = std::min<std::size_t>(std::size_t{raw.data.hid.dwSizeHid} * raw.data.hid.dwCount,
                                                    size > offset ? size - offset : 0);
    BYTE* reports = buffer_.data() + offset;
    Device& device = deviceFor(raw.header.hDevice);
    if (!device.layout.parsed()) {
        if (!unparsed_.note(reinterpret_cast<std::uintptr_t>(raw.header.hDevice), reports, bytes, time))
            noteUncountedInput();
        return;
    }
    parsed_.reportRead(device.kind, time);
    contacts_.clear();
    const std::size_t each = raw.data.hid.dwSizeHid;
    const auto preparsed = reinterpret_cast<PHIDP_PREPARSED_DATA>(device.preparsed.data());
    for (std::size_t at = 0; each > 0 && at + each <= bytes; at += each)
        readContacts(device.layout, preparsed, reports + at, static_cast<ULONG>(each), device.remaining, contacts_);
    bool counted = false;
    for (const ReadContact& read : contacts_)
        counted = rule_.note(reinterpret_cast<std::uintptr_t>(device.handle), read.contact, read.thresholdX,
                             read.thresholdY) ||
                  counted;
    if (counted) raiseInputFlag([time] { return time; });
    else noteUncountedInput();
}
