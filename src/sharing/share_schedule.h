#pragma once

#include <cstdint>

// When the thread that looks after the shared folder reads the other PCs' files, on a clock of
// milliseconds that the caller reads: at once when sharing starts, the history window opens or
// a write into the folder failed; once a minute otherwise. While the window is open it also
// reads shortly after the folder changes (once it has been quiet for a moment: a sync service
// writes a file in several steps), looks every few seconds whether the folder is still there,
// and, while it is out of reach, tries every few seconds whether it is back, so that the
// window tells soon either way.
class ShareSchedule {
public:
    static constexpr std::uint64_t readEveryMs = 60000;
    static constexpr std::uint64_t lookEveryMs = 5000;
    static constexpr std::uint64_t quietMs = 300;

    // A read is wanted now.
    void readRequested() { requested_ = true; }
    // The folder changed at `now`.
    void changeSeen(std::uint64_t now);
    // The history window is open (or not).
    void setWatching(bool watching) { watching_ = watching; }
    // A read finished at `now`; `reached` whether the folder could be listed.
    void readDone(std::uint64_t now, bool reached);
    // A look whether the folder is still there, at `now`.
    void looked(std::uint64_t now) { lastLook_ = now; }

    // A read is due.
    bool readDue(std::uint64_t now) const { return untilRead(now) == 0; }
    // A look whether the folder is still there is due (a read does that too).
    bool lookDue(std::uint64_t now) const { return untilLook(now) == 0; }
    // How long from `now` until either is due.
    std::uint64_t waitMs(std::uint64_t now) const;

private:
    std::uint64_t untilRead(std::uint64_t now) const;
    std::uint64_t untilLook(std::uint64_t now) const;

    bool requested_ = false;
    bool watching_ = false;
    bool changed_ = false;
    std::uint64_t changedAt_ = 0;
    bool readOnce_ = false;
    bool reached_ = true;
    std::uint64_t lastRead_ = 0;
    std::uint64_t lastLook_ = 0;
};
