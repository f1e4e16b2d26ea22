#include "input/pen_input.h"

#include <algorithm>

#include "input/input_flag.h"

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
