#include "input/pen_input.h"

#include <algorithm>
#include <cmath>

#include "input/input_flag.h"

namespace {

// A resting pen's coordinates wander by a unit or two; a threshold below that would count it.
constexpr double jitterUnits = 3.0;
constexpr double countedMoveMm = 0.5;
constexpr double logicalFraction = 1.0 / 2000;
constexpr std::size_t keptContacts = 16;  // ten fingers, two pens, and room for devices that come back

}  // namespace

double physicalExtentMm(const DigitizerAxis& axis) {
    double perUnitMm = 0;
    if (axis.units == 0x11) perUnitMm = 10.0;       // SI linear: centimetres
    else if (axis.units == 0x13) perUnitMm = 25.4;  // English linear: inches
    if (perUnitMm == 0 || axis.physicalMax <= axis.physicalMin) return 0;
    const int exponent = static_cast<int>(axis.unitsExp & 0x0F) - ((axis.unitsExp & 0x08) ? 16 : 0);
    return (static_cast<double>(axis.physicalMax) - axis.physicalMin) * std::pow(10.0, exponent) * perUnitMm;
}

double movementThreshold(const DigitizerAxis& axis) {
    const double logicalRange = static_cast<double>(axis.logicalMax) - axis.logicalMin;
    if (logicalRange <= 0) return jitterUnits;
    const double extentMm = physicalExtentMm(axis);
    const double threshold =
        extentMm > 0 ? logicalRange * countedMoveMm / extentMm : logicalRange * logicalFraction;
    return std::max(threshold, jitterUnits);
}

bool PenRule::note(std::uintptr_t device, const PenContact& contact, double thresholdX, double thresholdY) {
    auto known = std::find_if(known_.begin(), known_.end(),
                              [&](const Known& k) { return k.device == device && k.id == contact.id; });
    const bool firstSeen = known == known_.end();
    if (firstSeen) {
        if (known_.size() >= keptContacts) known_.erase(known_.begin());
        known = known_.insert(known_.end(), Known{device, contact.id, {}});
    }
    PenContact& last = known->counted;
    const bool entered = contact.inRange && (firstSeen || !last.inRange);
    const bool pressed = contact.tip != last.tip || contact.barrel != last.barrel || contact.eraser != last.eraser;
    const double dx = (static_cast<double>(contact.x) - last.x) / thresholdX;
    const double dy = (static_cast<double>(contact.y) - last.y) / thresholdY;
    const bool moved = contact.inRange && last.inRange && dx * dx + dy * dy >= 1.0;
    // A palm resting on a touch screen, marked as such by the device, is no one's work; its
    // state is kept so that what follows counts only for what changes then.
    const bool counts = contact.confident && (entered || pressed || moved);
    const PenContact before = last;
    last = contact;
    if (!counts && contact.confident && contact.inRange && before.inRange) {
        // Movement is measured from where the contact last counted, so a slow stroke adds up.
        last.x = before.x;
        last.y = before.y;
    }
    return counts;
}

PointerSource pointerSource(std::uintptr_t extraInfo) {
    const auto info = static_cast<std::uint32_t>(extraInfo);
    if ((info & 0xFFFFFF00u) != 0xFF515700u) return PointerSource::mouse;
    return (info & 0x80u) ? PointerSource::touch : PointerSource::pen;
}

void ParsedDigitizers::reportRead(DigitizerKind kind, std::uint32_t time) {
    if (kind == DigitizerKind::pen) {
        pen_ = true;
        penAt_ = time;
    } else {
        touch_ = true;
        touchAt_ = time;
    }
}

bool ParsedDigitizers::leftToPenRule(PointerSource source, std::uint32_t time) const {
    if (source == PointerSource::mouse) return false;
    const bool pen = source == PointerSource::pen;
    if (!(pen ? pen_ : touch_)) return false;
    // Wrapping subtraction: the mouse event may also be stamped a moment before the report.
    const std::int32_t since = static_cast<std::int32_t>(time - (pen ? penAt_ : touchAt_));
    return since < static_cast<std::int32_t>(liveMs) && since > -static_cast<std::int32_t>(liveMs);
}

bool DigitizerReports::note(std::uintptr_t device, const std::uint8_t* report, std::size_t size,
                            std::uint32_t time) {
    auto last = std::find_if(last_.begin(), last_.end(), [&](const Last& l) { return l.device == device; });
    if (last != last_.end() && std::equal(last->report.begin(), last->report.end(), report, report + size))
        return false;
    if (last == last_.end()) {
        // Devices come and go (a tablet plugged in again gets a new handle); a few are kept.
        if (last_.size() >= 8) last_.erase(last_.begin());
        last = last_.insert(last_.end(), Last{device, {}});
    }
    last->report.assign(report, report + size);
    raiseInputFlag([time] { return time; });
    return true;
}
