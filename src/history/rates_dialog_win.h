#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "common/dialog_thread_win.h"
#include "common/display_scale.h"
#include "config/rates_file.h"

// "Rates and budgets...": the currency, the rounding, and a list of every project with its
// hourly rate and budget in hours, one project's figures edited below the list. It runs on a
// thread of its own with its own message loop, as the New project dialog does, so that the
// counting goes on while it is open. OK takes only numbers rates.cfg can keep; what it took
// comes back to the main thread through a mailbox that the history window empties. When
// rates.cfg cannot be read the dialog names it and has no OK: the file is left for its maker.
class RatesDialog {
public:
    static constexpr const wchar_t* title = L"Rates and budgets";

    RatesDialog() = default;
    RatesDialog(const RatesDialog&) = delete;
    RatesDialog& operator=(const RatesDialog&) = delete;
    // Closes a dialog still open, as Cancel does, and waits for its thread.
    ~RatesDialog() = default;

    // Opens the dialog over `owner` (placed by it, but owned by a hidden window of its own
    // thread) with `rates` and the lines of `projects` (see rateLines);
    // `unreadable`, when not empty, is the path of a rates.cfg that cannot be read. An open one
    // comes to the front instead.
    void open(HWND owner, DisplayScale scale, const RateSettings& rates, const std::vector<std::wstring>& projects,
              const std::wstring& unreadable);
    // The rates confirmed with OK, once, after the dialog has closed; nullopt otherwise.
    std::optional<RateSettings> takeRates();
    bool isOpen();

private:
    using Thread = DialogThread<RateSettings>;
    struct Start {
        HWND owner = nullptr;
        DisplayScale scale;
        RateSettings rates;
        std::vector<ProjectRate> lines;
        std::wstring unreadable;
    };

    static void run(Thread::Mailbox& mailbox, Start start);

    Thread thread_;
};
