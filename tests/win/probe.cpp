// Looks at windows for the scripted user journey, which drives the real program with xdotool
// from outside Wine:
//   probe rect CLASS TITLE       left top right bottom of a visible top-level window ("-": any)
//   probe menu-point LEVEL INDEX [PARENT]
//                                screen point inside item INDEX of the overlay's open popup menu,
//                                LEVEL 0 for the menu, 1 for its open submenu, the one of the menu's
//                                item PARENT when given (its lines are then counted as lines)
//   probe menu-owner             executable name of the program whose popup menu is open
//   probe foreground             executable name of the program whose window is in front
//   probe place TITLE X Y W H    moves and sizes the window with that title
//   probe close TITLE            posts WM_CLOSE to the window with that title
//   probe kind TITLE             what sort of window that is: "topmost" or "normal", then "taskbar"
//                                when it shows there, "sizable", "caption"
//   probe child-point TITLE TEXT screen point in the middle of that window's child titled TEXT
//   probe command TITLE ID       posts WM_COMMAND with ID to the window with that title, as a
//                                menu item does
//   probe above CLASS TITLE      succeeds when a visible window of CLASS is above the window with
//                                that title in the z-order
//   probe pid TITLE              process id of the window with that title
//   probe flash X Y MS           shows a window at X Y (200 x 200) for MS milliseconds without
//                                taking the foreground, as a notification does
#define SDL_MAIN_HANDLED  // a console tool with its own main, not an SDL program
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "config/app_data_folder_win.h"
#include "config/file_system.h"
#include "config/projects_file.h"
#include "config/state_file.h"
#include "overlay/context_menu_win.h"
#include "overlay/overlay_settings.h"
#include "overlay/process_name_win.h"

namespace {

std::wstring widen(const char* text) { return std::wstring(text, text + std::strlen(text)); }

struct Search {
    std::wstring className;
    std::wstring title;
    std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND hwnd, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    if (!IsWindowVisible(hwnd)) return TRUE;
    wchar_t text[256] = {};
    GetClassNameW(hwnd, text, 256);
    if (search->className != L"-" && search->className != text) return TRUE;
    GetWindowTextW(hwnd, text, 256);
    if (search->title != L"-" && search->title != text) return TRUE;
    search->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> visibleWindows(const std::wstring& className, const std::wstring& title) {
    Search search{className, title, {}};
    EnumWindows(collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Item rectangles of the overlay's menu relative to its menu window, measured on a copy that
// this process opens itself: another process's menu cannot be read under Wine.
std::vector<RECT> itemOffsets;
std::vector<MenuEntry> measuredEntries;
HMENU measuredMenu = nullptr;
HWND owner = nullptr;

void CALLBACK measure(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(owner, timer);
    const std::vector<HWND> menus = visibleWindows(L"#32768", L"-");
    RECT window{};
    for (HWND menu : menus) {
        DWORD process = 0;
        GetWindowThreadProcessId(menu, &process);
        if (process == GetCurrentProcessId()) GetWindowRect(menu, &window);
    }
    for (int i = 0; i < GetMenuItemCount(measuredMenu); ++i) {
        RECT item{};
        GetMenuItemRect(owner, measuredMenu, i, &item);
        itemOffsets.push_back({item.left - window.left, item.top - window.top, item.right - window.left,
                               item.bottom - window.top});
    }
    EndMenu();
}

void measureMenu() {
    // As the overlay's own data.cfg and projects.cfg have it (two target programs or more add a
    // submenu); a file that cannot be read leaves nothing measured.
    OverlayCore state;
    std::vector<MenuEntry> entries;
    try {
        const StateFileLocation location = stateFileLocation(commonAppDataFolder());
        state.dataFile.load(location.file);
        applyState(state);
        bool found = false;
        std::error_code error;
        if (const auto projects = readWholeFile(projectsFilePath(location.folder), found, error))
            state.projects.settings = parseProjects(*projects).value_or(ProjectSettings{});
        entries = contextMenuEntries(state, 0);
    } catch (...) {
        return;
    }
    measuredEntries = entries;
    const PopupMenu menu = buildPopupMenu(entries);
    measuredMenu = menu.get();
    owner = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"probe", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                            nullptr);
    SetTimer(owner, 1, 200, measure);
    TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, 5, 5, 0, owner, nullptr);
    DestroyWindow(owner);
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "rect" && argc == 4) {
        const std::vector<HWND> found = visibleWindows(widen(argv[2]), widen(argv[3]));
        if (found.empty()) return 1;
        RECT rect;
        GetWindowRect(found.front(), &rect);
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
        return 0;
    }
    if (command == "menu-point" && (argc == 4 || argc == 5)) {
        const int level = std::atoi(argv[2]);
        const int index = std::atoi(argv[3]);
        std::vector<RECT> rects;
        for (HWND menu : visibleWindows(L"#32768", L"-")) {
            if (foregroundProgramName(menu) != L"ArdenoTime.exe") continue;
            RECT rect;
            GetWindowRect(menu, &rect);
            rects.push_back(rect);
        }
        if (static_cast<int>(rects.size()) <= level) return 1;
        // A submenu opens above its menu in the z-order, to its right or, with no room there, to
        // its left: the windows come topmost first, the menu itself last.
        std::reverse(rects.begin(), rects.end());
        measureMenu();
        if (itemOffsets.size() < 3) return 2;
        const RECT& menu = rects[level];
        long top;
        long height;
        if (level == 0) {
            if (index >= static_cast<int>(itemOffsets.size())) return 1;
            top = itemOffsets[index].top;
            height = itemOffsets[index].bottom - itemOffsets[index].top;
        } else {
            // Submenu items are plain strings, as tall as the menu's first item; its lines as tall
            // as the menu's first line.
            height = itemOffsets[0].bottom - itemOffsets[0].top;
            top = itemOffsets[0].top + index * height;
            const int parent = argc == 5 ? std::atoi(argv[4]) : -1;
            if (parent >= 0 && parent < static_cast<int>(measuredEntries.size())) {
                const std::vector<MenuEntry>& items = measuredEntries[parent].submenu;
                long lineHeight = height;
                for (std::size_t i = 0; i < measuredEntries.size() && i < itemOffsets.size(); ++i)
                    if (measuredEntries[i].kind == MenuEntry::Kind::separator) {
                        lineHeight = itemOffsets[i].bottom - itemOffsets[i].top;
                        break;
                    }
                top = itemOffsets[0].top;
                for (int i = 0; i < index && i < static_cast<int>(items.size()); ++i)
                    top += items[i].kind == MenuEntry::Kind::separator ? lineHeight : height;
            }
        }
        std::printf("%ld %ld\n", menu.left + 30, menu.top + top + height / 2);
        return 0;
    }
    if (command == "menu-owner") {
        const std::vector<HWND> menus = visibleWindows(L"#32768", L"-");
        if (menus.empty()) return 1;
        std::printf("%ls\n", foregroundProgramName(menus.front()).c_str());
        return 0;
    }
    if (command == "foreground") {
        std::printf("%ls\n", foregroundProgramName(GetForegroundWindow()).c_str());
        return 0;
    }
    if (command == "place" && argc == 7) {
        const std::vector<HWND> found = visibleWindows(L"-", widen(argv[2]));
        if (found.empty()) return 1;
        return SetWindowPos(found.front(), nullptr, std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                            std::atoi(argv[6]), SWP_NOZORDER | SWP_NOACTIVATE)
                   ? 0
                   : 1;
    }
    if (command == "close" && argc == 3) {
        const std::vector<HWND> found = visibleWindows(L"-", widen(argv[2]));
        if (found.empty()) return 1;
        return PostMessageW(found.front(), WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (command == "kind" && argc == 3) {
        const std::vector<HWND> found = visibleWindows(L"-", widen(argv[2]));
        if (found.empty()) return 1;
        const LONG_PTR style = GetWindowLongPtrW(found.front(), GWL_STYLE);
        const LONG_PTR exStyle = GetWindowLongPtrW(found.front(), GWL_EXSTYLE);
        // Windows puts an unowned window that is no tool window in the taskbar.
        const bool taskbar = (exStyle & WS_EX_APPWINDOW) ||
                             (!GetWindow(found.front(), GW_OWNER) && !(exStyle & WS_EX_TOOLWINDOW));
        std::printf("%s%s%s%s\n", (exStyle & WS_EX_TOPMOST) ? "topmost" : "normal", taskbar ? " taskbar" : "",
                    (style & WS_THICKFRAME) ? " sizable" : "", (style & WS_CAPTION) == WS_CAPTION ? " caption" : "");
        return 0;
    }
    if (command == "child-point" && argc == 4) {
        const std::vector<HWND> found = visibleWindows(L"-", widen(argv[2]));
        if (found.empty()) return 1;
        const HWND child = FindWindowExW(found.front(), nullptr, nullptr, widen(argv[3]).c_str());
        RECT rect;
        if (!child || !GetWindowRect(child, &rect)) return 1;
        std::printf("%ld %ld\n", (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        return 0;
    }
    if (command == "command" && argc == 4) {
        const std::vector<HWND> found = visibleWindows(L"-", widen(argv[2]));
        if (found.empty()) return 1;
        return PostMessageW(found.front(), WM_COMMAND, MAKEWPARAM(std::atoi(argv[3]), 0), 0) ? 0 : 1;
    }
    if (command == "above" && argc == 4) {
        const std::vector<HWND> below = visibleWindows(L"-", widen(argv[3]));
        if (below.empty()) return 2;
        wchar_t name[64];
        for (HWND w = GetWindow(below.front(), GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
            if (IsWindowVisible(w) && GetClassNameW(w, name, 64) && widen(argv[2]) == name) return 0;
        return 1;
    }
    if (command == "flash" && argc == 5) {
        const HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, L"STATIC", L"flash",
                                            WS_POPUP | WS_BORDER, std::atoi(argv[2]), std::atoi(argv[3]), 200, 200,
                                            nullptr, nullptr, nullptr, nullptr);
        if (!window) return 1;
        ShowWindow(window, SW_SHOWNOACTIVATE);
        const DWORD end = GetTickCount() + static_cast<DWORD>(std::atoi(argv[4]));
        MSG message;
        while (static_cast<LONG>(end - GetTickCount()) > 0) {
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            Sleep(10);
        }
        DestroyWindow(window);
        return 0;
    }
    // As a video player's full-screen button does: no frame, the whole monitor, in front.
    if (command == "full-screen" && argc == 4) {
        const std::vector<HWND> found = visibleWindows(L"-", widen(argv[2]));
        if (found.empty()) return 1;
        const HWND window = found.front();
        const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
        const bool on = std::string(argv[3]) == "on";
        SetWindowLongPtrW(window, GWL_STYLE,
                          on ? (style & ~static_cast<LONG_PTR>(WS_OVERLAPPEDWINDOW)) | WS_POPUP
                             : (style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_OVERLAPPEDWINDOW);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT whole = monitor.rcMonitor;
        const RECT place = on ? whole : RECT{100, 100, 740, 580};
        return SetWindowPos(window, HWND_TOP, place.left, place.top, place.right - place.left,
                            place.bottom - place.top, SWP_FRAMECHANGED) && (!on || SetForegroundWindow(window))
                   ? 0
                   : 1;
    }
    // Without a window manager X focus alone may leave Windows' foreground where it was.
    if (command == "front" && argc == 3) {
        const std::vector<HWND> found = visibleWindows(L"-", widen(argv[2]));
        return !found.empty() && SetForegroundWindow(found.front()) ? 0 : 1;
    }
    if (command == "pid" && argc == 3) {
        const std::vector<HWND> found = visibleWindows(L"-", widen(argv[2]));
        if (found.empty()) return 1;
        DWORD process = 0;
        GetWindowThreadProcessId(found.front(), &process);
        std::printf("%lu\n", process);
        return 0;
    }
    std::fprintf(stderr, "usage: probe rect CLASS TITLE | menu-point LEVEL INDEX [PARENT] | menu-owner | foreground | "
                         "place TITLE X Y W H | close TITLE | kind TITLE | child-point TITLE TEXT | command TITLE ID | "
                         "above CLASS TITLE | pid TITLE | flash X Y MS | full-screen TITLE on|off | front TITLE\n");
    return 2;
}
