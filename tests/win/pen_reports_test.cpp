// Digitizers' reports read with the HID parser, as the hook thread reads them. No pen reaches
// Wine, so the devices are stand-ins: a graphics tablet's and a touch screen's report
// descriptors, made into preparsed data by Wine's own HID parser (hidparse.sys, which Wine loads
// in a user process), then real report bytes read with hid.dll as the program reads them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/pen_reports_win.h"

namespace {

// What HidP_GetCollectionDescription fills (hidpddi.h, a driver kit header MinGW lacks).
struct CollectionDescription {
    USAGE usagePage, usage;
    UCHAR collectionNumber;
    UCHAR reserved[15];
    USHORT inputLength, outputLength, featureLength, preparsedDataLength;
    PHIDP_PREPARSED_DATA preparsedData;
};
struct DeviceDescription {
    CollectionDescription* collections;
    ULONG collectionCount;
    void* reportIds;
    ULONG reportIdCount;
    ULONG debug[8];
};

// A device's report descriptor, parsed as the system parses a device's when it is plugged in.
class StandInDigitizer {
public:
    explicit StandInDigitizer(const std::vector<UCHAR>& descriptor) {
        parser_ = LoadLibraryW(L"C:\\windows\\system32\\drivers\\hidparse.sys");
        if (!parser_) return;
        using Describe = LONG(NTAPI*)(const UCHAR*, ULONG, int, DeviceDescription*);
        const auto describe = reinterpret_cast<Describe>(reinterpret_cast<void*>(GetProcAddress(parser_, "HidP_GetCollectionDescription")));
        free_ = reinterpret_cast<Free>(reinterpret_cast<void*>(GetProcAddress(parser_, "HidP_FreeCollectionDescription")));
        if (describe && describe(descriptor.data(), static_cast<ULONG>(descriptor.size()), 0, &description_) >= 0 &&
            description_.collectionCount == 1)
            preparsed_ = description_.collections[0].preparsedData;
    }
    StandInDigitizer(const StandInDigitizer&) = delete;
    StandInDigitizer& operator=(const StandInDigitizer&) = delete;
    ~StandInDigitizer() {
        if (free_ && description_.collections) free_(&description_);
        if (parser_) FreeLibrary(parser_);
    }

    PHIDP_PREPARSED_DATA preparsed() const { return preparsed_; }
    // The pens and fingers of one report; the report's bytes as the device sends them.
    std::vector<ReadContact> read(const DigitizerLayout& layout, std::vector<BYTE> report) {
        std::vector<ReadContact> out;
        readContacts(layout, preparsed_, report.data(), static_cast<ULONG>(report.size()), remaining_, out);
        return out;
    }

private:
    using Free = void(NTAPI*)(DeviceDescription*);
    HMODULE parser_ = nullptr;
    Free free_ = nullptr;
    DeviceDescription description_{};
    PHIDP_PREPARSED_DATA preparsed_ = nullptr;
    ULONG remaining_ = 0;
};

// A graphics tablet's pen, report 2: tip, barrel, eraser, invert and in range, X over 216 mm and
// Y over 144 mm (thousandths of a centimetre) in 0 to 32767, and a scan time that ticks; report 3
// is its battery.
const std::vector<UCHAR> tabletPen = {
    0x05, 0x0D, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x02, 0x09, 0x20, 0xA1, 0x00,                    // pen, stylus
    0x09, 0x42, 0x09, 0x44, 0x09, 0x45, 0x09, 0x3C, 0x09, 0x32,                                // five switches
    0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x05, 0x81, 0x02, 0x95, 0x03, 0x81, 0x03,        // bits, padding
    0x05, 0x01, 0x09, 0x30, 0x26, 0xFF, 0x7F, 0x35, 0x00, 0x46, 0x60, 0x54, 0x65, 0x11, 0x55,  // X
    0x0D, 0x75, 0x10, 0x95, 0x01, 0x81, 0x02, 0x09, 0x31, 0x46, 0x40, 0x38, 0x81, 0x02,        // Y
    0x05, 0x0D, 0x09, 0x56, 0x45, 0x00, 0x65, 0x00, 0x55, 0x00, 0x27, 0xFF, 0xFF, 0x00, 0x00,  // scan time
    0x81, 0x02, 0xC0,                                                                          //
    0x85, 0x03, 0x09, 0x3B, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x81, 0x02, 0xC0,                    // battery
};

std::vector<BYTE> penReport(BYTE switches, unsigned x, unsigned y, unsigned scanTime) {
    return {2, switches, BYTE(x), BYTE(x >> 8), BYTE(y), BYTE(y >> 8), BYTE(scanTime), BYTE(scanTime >> 8)};
}
constexpr BYTE tip = 0x01, barrel = 0x02, eraser = 0x04, inRange = 0x10;

TEST(DigitizerReportsRead, APensReportsCountForWhatTheHandDoesNotForJitterOrTheScanTime) {
    StandInDigitizer pen(tabletPen);
    ASSERT_NE(pen.preparsed(), nullptr) << "Wine's HID parser did not load (on Windows it runs in the kernel only)";
    const DigitizerLayout layout = digitizerLayout(pen.preparsed());
    ASSERT_EQ(layout.contacts.size(), 1u);
    EXPECT_TRUE(layout.contacts[0].hasInRange);
    EXPECT_FALSE(layout.contacts[0].hasConfidence);
    EXPECT_NEAR(physicalExtentMm(layout.contacts[0].x), 216, 1e-9);
    EXPECT_NEAR(physicalExtentMm(layout.contacts[0].y), 144, 1e-9);

    const std::vector<ReadContact> first = pen.read(layout, penReport(inRange | barrel | eraser, 12345, 23456, 7));
    ASSERT_EQ(first.size(), 1u);
    const PenContact& c = first[0].contact;
    EXPECT_EQ(std::to_string(c.inRange) + std::to_string(c.tip) + std::to_string(c.barrel) + std::to_string(c.eraser) +
                  " " + std::to_string(c.x) + "," + std::to_string(c.y),
              "1011 12345,23456");
    EXPECT_NEAR(first[0].thresholdX, 32767 * 0.5 / 216, 1e-6) << "half a millimetre";
    EXPECT_TRUE(pen.read(layout, {3, 80}).empty()) << "the battery's report holds no pen";

    const struct {
        BYTE switches;
        unsigned x, y;
        char counts;
    } reports[] = {
        {inRange, 10000, 10000, '1'},        // comes into range
        {inRange, 10002, 9999, '0'},         // hovering still: jitter, and the scan time ticks
        {inRange, 9998, 10001, '0'},         //
        {inRange | tip, 9999, 10000, '1'},   // the tip down
        {inRange | tip, 10200, 10000, '1'},  // a stroke
        {inRange | tip, 10201, 10001, '0'},  // held still with the tip down
        {inRange, 10201, 10001, '1'},        // the tip up
        {0, 10201, 10001, '0'},              // out of range
    };
    PenRule rule;
    std::string got, expected;
    unsigned scanTime = 100;
    for (const auto& r : reports) {
        for (const ReadContact& read : pen.read(layout, penReport(r.switches, r.x, r.y, scanTime += 7)))
            got += rule.note(1, read.contact, read.thresholdX, read.thresholdY) ? '1' : '0';
        expected += r.counts;
    }
    EXPECT_EQ(got, expected);
}

// A touch screen, report 1: two fingers, each with its tip, confidence, identifier and X and Y
// in 0 to 4095 (no physical size), and the count of fingers in the frame.
std::vector<UCHAR> touchScreen() {
    const std::vector<UCHAR> finger = {
        0x05, 0x0D, 0x09, 0x22, 0xA1, 0x02, 0x09, 0x42, 0x09, 0x47, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95,
        0x02, 0x81, 0x02, 0x95, 0x06, 0x81, 0x03, 0x09, 0x51, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02,
        0x05, 0x01, 0x09, 0x30, 0x26, 0xFF, 0x0F, 0x75, 0x10, 0x81, 0x02, 0x09, 0x31, 0x81, 0x02, 0xC0,
    };
    std::vector<UCHAR> d = {0x05, 0x0D, 0x09, 0x04, 0xA1, 0x01, 0x85, 0x01};
    d.insert(d.end(), finger.begin(), finger.end());
    d.insert(d.end(), finger.begin(), finger.end());
    const std::vector<UCHAR> count = {0x05, 0x0D, 0x09, 0x54, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0xC0};
    d.insert(d.end(), count.begin(), count.end());
    return d;
}

struct Finger {
    BYTE flags, id;  // bit 0 tip, bit 1 confidence
    unsigned x, y;
};
std::vector<BYTE> touchReport(Finger a, Finger b, BYTE count) {
    std::vector<BYTE> r{1};
    for (const Finger& f : {a, b})
        r.insert(r.end(), {f.flags, f.id, BYTE(f.x), BYTE(f.x >> 8), BYTE(f.y), BYTE(f.y >> 8)});
    r.push_back(count);
    return r;
}

TEST(DigitizerReportsRead, ATouchScreensFingersAreReadByTheirIdentifiersAndItsCount) {
    StandInDigitizer screen(touchScreen());
    ASSERT_NE(screen.preparsed(), nullptr);
    const DigitizerLayout layout = digitizerLayout(screen.preparsed());
    ASSERT_EQ(layout.contacts.size(), 2u);
    EXPECT_TRUE(layout.hasContactCount);
    EXPECT_FALSE(layout.contacts[0].hasInRange) << "a finger is in range while it touches";
    EXPECT_TRUE(layout.contacts[1].hasConfidence);

    constexpr BYTE down = 0x01, confident = 0x02;
    const Finger empty{0, 0, 0, 0};
    const struct {
        const char* name;
        std::vector<BYTE> report;
        const char* counts;  // one character for each finger read
    } frames[] = {
        {"a finger touches; the slot past the count is not read", touchReport({down | confident, 5, 1000, 1000}, {down, 9, 9, 9}, 1), "1"},
        {"it rests", touchReport({down | confident, 5, 1001, 1000}, empty, 1), "0"},
        {"a palm beside it, marked not confident",
         touchReport({down | confident, 5, 1001, 1001}, {down, 6, 3000, 3000}, 2), "00"},
        {"the finger slides", touchReport({down | confident, 5, 1100, 1000}, {down, 6, 3100, 3000}, 2), "10"},
        {"both lift", touchReport({confident, 5, 1100, 1000}, {0, 6, 3100, 3000}, 2), "10"},
    };
    PenRule rule;
    for (const auto& f : frames) {
        SCOPED_TRACE(f.name);
        std::string got;
        for (const ReadContact& read : screen.read(layout, f.report)) {
            got += rule.note(1, read.contact, read.thresholdX, read.thresholdY) ? '1' : '0';
            EXPECT_EQ(read.contact.inRange, read.contact.tip);
            EXPECT_NE(read.contact.id, 9u);
        }
        EXPECT_EQ(got, f.counts);
    }
}

}  // namespace
