// A stand-in for a Store app, whose window in front is a frame that another process draws:
//   hosted_window frame          a top-level window of class ApplicationFrameWindow, "Hosted app"
//   hosted_window content HWND   a child window of class Windows.UI.Core.CoreWindow filling that
//                                frame, made by this process
// The test copies this program under two names, as ApplicationFrameHost.exe and an app's exe.
// Each runs until it is ended.
#include <windows.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char* argv[]) {
    const bool frame = argc == 2 && std::strcmp(argv[1], "frame") == 0;
    const bool content = argc == 3 && std::strcmp(argv[1], "content") == 0;
    if (!frame && !content) return 2;
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = frame ? L"ApplicationFrameWindow" : L"Windows.UI.Core.CoreWindow";
    RegisterClassW(&wc);
    HWND window;
    if (frame) {
        window = CreateWindowExW(0, wc.lpszClassName, L"Hosted app", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 100, 400,
                                 300, nullptr, nullptr, wc.hInstance, nullptr);
    } else {
        const HWND parent = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoll(argv[2], nullptr, 0)));
        RECT client{};
        GetClientRect(parent, &client);
        window = CreateWindowExW(0, wc.lpszClassName, L"Hosted app content", WS_CHILD | WS_VISIBLE, 0, 0, client.right,
                                 client.bottom, parent, nullptr, wc.hInstance, nullptr);
    }
    if (!window) return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
