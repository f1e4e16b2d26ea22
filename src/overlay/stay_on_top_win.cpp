#include "overlay/stay_on_top_win.h"

std::vector<WindowAbove> visibleWindowsAbove(HWND window) {
    std::vector<WindowAbove> above;
    for (HWND other = GetWindow(window, GW_HWNDPREV); other; other = GetWindow(other, GW_HWNDPREV)) {
        if (!IsWindowVisible(other)) continue;
        WindowAbove described;
        wchar_t name[64] = {};
        if (GetClassNameW(other, name, 64) > 0) described.className = name;
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        described.threadInMenu = GetGUIThreadInfo(GetWindowThreadProcessId(other, nullptr), &thread) &&
                                 (thread.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) != 0;
        above.push_back(std::move(described));
    }
    return above;
}
