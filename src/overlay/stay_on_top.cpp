#include "overlay/stay_on_top.h"

namespace {

// Window classes of short-lived popups that belong over everything for a moment: the system's
// menus and their shadows, a combo box's drop-down list, tooltips, and the popups (menus,
// flyouts, tooltips) of XAML programs. They, and the program's own windows, may stay above.
const wchar_t* const popupClasses[] = {
    L"#32768", L"SysShadow", L"ComboLBox", L"tooltips_class32", L"Xaml_WindowedPopupClass",
};

bool mayStayAbove(const WindowAbove& window) {
    if (window.threadInMenu || window.ours) return true;
    for (const wchar_t* name : popupClasses)
        if (window.className == name) return true;
    return false;
}

}  // namespace

bool raiseAbove(const std::vector<WindowAbove>& visibleAbove) {
    for (const WindowAbove& window : visibleAbove)
        if (mayStayAbove(window)) return false;
    return !visibleAbove.empty();
}
