#include "overlay/stay_on_top.h"

namespace {

// Window classes of short-lived popups that belong over everything for a moment: the system's
// menus and their shadows, a combo box's drop-down list, tooltips, and the popups (menus,
// flyouts, tooltips) of XAML programs.
const wchar_t* const popupClasses[] = {
    L"#32768", L"SysShadow", L"ComboLBox", L"tooltips_class32", L"Xaml_WindowedPopupClass",
};

bool isPopup(const WindowAbove& window) {
    if (window.threadInMenu) return true;
    for (const wchar_t* name : popupClasses)
        if (window.className == name) return true;
    return false;
}

}  // namespace

bool raiseAbove(const std::vector<WindowAbove>& visibleAbove) {
    for (const WindowAbove& window : visibleAbove)
        if (isPopup(window)) return false;
    return !visibleAbove.empty();
}
