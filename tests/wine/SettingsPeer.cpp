// Stands in for the settings program: owns a top-level window of the settings window class and logs
// every notification the service broadcasts to it, one "<wParam> <lParam>" line each.
//
//   SettingsPeer <log file> [--hang]
//
// Prints "ready" on stdout once the window exists. With --hang it never pumps messages afterwards,
// so the service must treat the window as hung.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/UniqueHandle.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using unique_file = kxp::unique_handle<std::FILE*, FileCloser>;

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using unique_window = kxp::unique_handle<HWND, WindowDestroyer>;

constexpr char kWindowClass[] = "TKorvanelXPF";
constexpr char kNotificationName[] = "KorvanelXPSettings";

UINT notificationMessage = 0;
std::FILE* logFile = nullptr;

LRESULT CALLBACK PeerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != 0 && message == notificationMessage) {
        std::fprintf(logFile, "%llu %lld\n", static_cast<unsigned long long>(wParam),
                     static_cast<long long>(lParam));
        std::fflush(logFile);
        // The title shows the last notification, for whoever looks at the desktop.
        const std::string title =
            "KorvanelXP settings peer: " + std::to_string(wParam) + " " + std::to_string(lParam);
        SetWindowTextA(window, title.c_str());
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || (argc == 3 && std::strcmp(argv[2], "--hang") != 0)) {
        std::fprintf(stderr, "usage: SettingsPeer <log file> [--hang]\n");
        return 2;
    }
    const bool hang = argc == 3;
    unique_file log{std::fopen(argv[1], "ab")};
    if (!log) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    logFile = log.get();

    notificationMessage = RegisterWindowMessageA(kNotificationName);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PeerWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    if (notificationMessage == 0 || RegisterClassA(&windowClass) == 0) {
        std::fprintf(stderr, "cannot register: error %lu\n", GetLastError());
        return 1;
    }
    unique_window window{CreateWindowExA(0, kWindowClass, "KorvanelXP settings peer",
                                         WS_OVERLAPPED | WS_CAPTION, 10, 10, 320, 60, nullptr,
                                         nullptr, windowClass.hInstance, nullptr)};
    if (!window) {
        std::fprintf(stderr, "cannot create the window: error %lu\n", GetLastError());
        return 1;
    }
    ShowWindow(window.get(), SW_SHOWNOACTIVATE);
    std::printf("ready\n");
    std::fflush(stdout);

    if (hang) {
        for (;;) Sleep(INFINITE);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
