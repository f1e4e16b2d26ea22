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
        DWORD process = 0;
        described.threadInMenu = GetGUIThreadInfo(GetWindowThreadProcessId(other, &process), &thread) &&
                                 (thread.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) != 0;
        described.ours = process == GetCurrentProcessId();
        above.push_back(std::move(described));
    }
    return above;
}
