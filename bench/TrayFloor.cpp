// The tray floor for the idle measurement: the same job as the service's two default tray icons in
// the least code. Once a second icon 1 shows the free memory in megabytes as green digits and icon
// 2 a yellow graph of the CPU load over the last 16 seconds, each drawn on a 16 x 16 memory DC,
// turned into an icon and handed to the shell with NIM_MODIFY.
//
//   TrayFloor [seconds]     runs for that many seconds, or until killed when absent or 0
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <utility>

#include "platform/win32/Win32Handles.h"

namespace {

using kxp::win32::UniqueDc;
using kxp::win32::UniqueGdiObject;
using kxp::win32::UniqueIcon;

constexpr int kSize = 16;
constexpr UINT_PTR kTimer = 1;

struct Floor {
    HWND window = nullptr;
    UniqueDc dc;
    HGDIOBJ stockBitmap = nullptr;
    UniqueGdiObject picture, mask, font, pen;
    std::array<UniqueIcon, 2> shown;
    std::array<int, kSize> load{};
    ULONGLONG idle = 0, total = 0;
    unsigned long ticks = 0, seconds = 0;
};

Floor* g_floor = nullptr;

ULONGLONG Ticks(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Percent of the CPU busy since the previous call.
int CpuLoad(Floor& floor) {
    FILETIME idle{}, kernel{}, user{};
    if (!GetSystemTimes(&idle, &kernel, &user)) return 0;
    const ULONGLONG total = Ticks(kernel) + Ticks(user);
    const ULONGLONG busy = (total - floor.total) - (Ticks(idle) - floor.idle);
    const ULONGLONG span = total - floor.total;
    floor.idle = Ticks(idle);
    floor.total = total;
    return span == 0 ? 0 : static_cast<int>(busy * 100 / span);
}

// Turns the memory DC's picture into tray icon id's new picture.
void Show(Floor& floor, UINT id) {
    // The picture leaves the DC while the icon copies it.
    SelectObject(floor.dc.get(), floor.stockBitmap);
    ICONINFO info{TRUE, 0, 0, static_cast<HBITMAP>(floor.mask.get()),
                  static_cast<HBITMAP>(floor.picture.get())};
    UniqueIcon icon(CreateIconIndirect(&info));
    SelectObject(floor.dc.get(), floor.picture.get());
    if (!icon) return;
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = floor.window;
    data.uID = id;
    data.uFlags = NIF_ICON;
    data.hIcon = icon.get();
    if (Shell_NotifyIconW(NIM_MODIFY, &data)) floor.shown[id - 1] = std::move(icon);
}

void Redraw(Floor& floor) {
    const HDC dc = floor.dc.get();
    const RECT all{0, 0, kSize, kSize};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof(memory);
    GlobalMemoryStatusEx(&memory);
    wchar_t text[16];
    std::swprintf(text, 16, L"%llu", memory.ullAvailPhys >> 20);
    SetTextColor(dc, RGB(0, 255, 0));
    RECT box = all;
    DrawTextW(dc, text, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
    Show(floor, 1);

    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    for (int column = 0; column + 1 < kSize; ++column) floor.load[column] = floor.load[column + 1];
    floor.load[kSize - 1] = CpuLoad(floor);
    for (int column = 0; column < kSize; ++column) {
        MoveToEx(dc, column, kSize, nullptr);
        LineTo(dc, column, kSize - 1 - floor.load[column] * (kSize - 1) / 100);
    }
    Show(floor, 2);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && g_floor != nullptr) {
        Redraw(*g_floor);
        if (g_floor->seconds != 0 && ++g_floor->ticks >= g_floor->seconds) PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    Floor floor;
    floor.seconds = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 0;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TrayFloor";
    RegisterClassW(&windowClass);
    floor.window = CreateWindowExW(0, L"TrayFloor", L"TrayFloor", 0, 0, 0, 0, 0, nullptr, nullptr,
                                   windowClass.hInstance, nullptr);
    const HDC screen = GetDC(nullptr);
    floor.dc.reset(CreateCompatibleDC(screen));
    floor.picture.reset(CreateCompatibleBitmap(screen, kSize, kSize));
    ReleaseDC(nullptr, screen);
    floor.mask.reset(CreateBitmap(kSize, kSize, 1, 1, nullptr));
    floor.font.reset(
        CreateFontW(-9, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Small Fonts"));
    floor.pen.reset(CreatePen(PS_SOLID, 1, RGB(255, 255, 0)));
    if (floor.window == nullptr || !floor.dc || !floor.picture || !floor.mask) return 1;
    // The mask stays all zero: every pixel of the picture is shown.
    const HDC maskDc = CreateCompatibleDC(nullptr);
    const HGDIOBJ maskBefore = SelectObject(maskDc, floor.mask.get());
    PatBlt(maskDc, 0, 0, kSize, kSize, BLACKNESS);
    SelectObject(maskDc, maskBefore);
    DeleteDC(maskDc);
    const HDC dc = floor.dc.get();
    floor.stockBitmap = SelectObject(dc, floor.picture.get());
    const HGDIOBJ fontBefore = SelectObject(dc, floor.font.get());
    const HGDIOBJ penBefore = SelectObject(dc, floor.pen.get());
    SetBkMode(dc, TRANSPARENT);

    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = floor.window;
    data.uFlags = NIF_ICON;
    data.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    for (data.uID = 1; data.uID <= 2; ++data.uID) {
        if (!Shell_NotifyIconW(NIM_ADD, &data))
            std::fprintf(stderr, "NIM_ADD %u failed\n", data.uID);
    }
    g_floor = &floor;
    CpuLoad(floor);
    SetTimer(floor.window, kTimer, 1000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    KillTimer(floor.window, kTimer);
    g_floor = nullptr;
    for (data.uID = 1; data.uID <= 2; ++data.uID) Shell_NotifyIconW(NIM_DELETE, &data);
    SelectObject(dc, penBefore);
    SelectObject(dc, fontBefore);
    SelectObject(dc, floor.stockBitmap);
    DestroyWindow(floor.window);
    return 0;
}
