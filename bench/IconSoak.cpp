// Draws a tray icon many times, alternating digits, graph and bar, and prints the cost of one
// drawing (draw + conversion to an icon) and the GDI objects and resident memory at the start and
// the end. Built natively on the simulated machine and for Windows on real GDI. On Windows, where a
// tray exists, it then times drawings that each also replace the picture of an added tray icon.
//
//   IconSoak [drawings] [tray drawings]       20000 and 2000 when absent
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "config/TConfig.h"
#include "tray/DisplayModel.h"
#include "tray/TIconRenderer.h"

#ifdef _WIN32
#include <windows.h>
// psapi.h needs windows.h first.
#include <psapi.h>
#include <shellapi.h>

#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Handles.h"
#else
#include <unistd.h>

#include <fstream>

#include "platform/sim/SimMachine.h"
#endif

namespace {

#ifdef _WIN32
struct Machine {
    kxp::win32::Win32Drawing drawing;
    kxp::win32::Win32Locale locale;
    long GdiObjects() const {
        return static_cast<long>(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS));
    }
    long ResidentKiB() const {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof(counters);
        ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
        return static_cast<long>(counters.WorkingSetSize / 1024);
    }
};

using UniqueWindow = kxp::unique_handle<HWND, kxp::win32::ReleaseWith<&::DestroyWindow>>;

// Draw + convert + NIM_MODIFY of a real tray icon, the whole cost of one icon update. The shell
// holds a copy of each picture, so the previous icon is released once the next is shown.
void TimeTrayUpdates(kxp::TIconRenderer& renderer, const kxp::TConfig& config, long drawings) {
    const UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"IconSoak", 0, 0, 0, 0, 0, nullptr,
                                                nullptr, ::GetModuleHandleW(nullptr), nullptr));
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = window.get();
    data.uID = 1;
    data.uFlags = NIF_ICON;
    data.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    if (!window || ::Shell_NotifyIconW(NIM_ADD, &data) == FALSE) {
        std::printf("tray: no notification area, not timed\n");
        return;
    }
    kxp::TPipe history(15);
    std::int32_t lastValue = -1;
    kxp::OwnedIcon shown;
    long modified = 0;
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < drawings; ++i) {
        const auto kind = static_cast<std::int32_t>(kxp::dkNumeric + i % 3);
        const auto value = static_cast<std::uint32_t>((i * 37) % 5000);
        kxp::OwnedIcon icon = renderer.DrawIcon(1, config, lastValue, history, kind, value, 5000);
        if (!icon) continue;
        data.hIcon = reinterpret_cast<HICON>(icon.get());
        if (::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE) ++modified;
        shown = std::move(icon);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ::Shell_NotifyIconW(NIM_DELETE, &data);
    std::printf("tray: drawings %ld (NIM_MODIFY %ld), draw + convert + NIM_MODIFY %.1f us each\n",
                drawings, modified,
                drawings > 0 ? seconds * 1e6 / static_cast<double>(drawings) : 0.0);
}
#else
struct Machine {
    kxp::sim::SimMachine sim;
    kxp::platform::Drawing& drawing = sim.platform().drawing;
    kxp::platform::Locale& locale = sim.platform().locale;
    long GdiObjects() { return sim.Desktop().LiveObjectCount(); }
    long ResidentKiB() const {
        long pages = 0, resident = 0;
        std::ifstream("/proc/self/statm") >> pages >> resident;
        return resident * (sysconf(_SC_PAGESIZE) / 1024);
    }
};
#endif

}  // namespace

int main(int argc, char** argv) {
    const long drawings = argc > 1 ? std::atol(argv[1]) : 20000;
#ifdef _WIN32
    const long trayDrawings = argc > 2 ? std::atol(argv[2]) : 2000;
#endif
    Machine machine;
    kxp::TConfig config = kxp::DefaultIcon1Config();
    kxp::ApplyForeColor(config);
    kxp::TIconRenderer renderer(machine.drawing, machine.locale);
    renderer.Objects().ApplyOptions(1, config);
    kxp::TPipe history(15);
    std::int32_t lastValue = -1;
    // One round first, so that the start figures include what every drawing keeps.
    for (std::int32_t kind = kxp::dkNumeric; kind <= kxp::dkBlock; ++kind) {
        renderer.DrawIcon(1, config, lastValue, history, kind, 1, 100);
    }
    const long gdiStart = machine.GdiObjects();
    const long residentStart = machine.ResidentKiB();
    long drawn = 0;
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < drawings; ++i) {
        const auto kind = static_cast<std::int32_t>(kxp::dkNumeric + i % 3);
        const auto value = static_cast<std::uint32_t>((i * 37) % 5000);
        drawn += renderer.DrawIcon(1, config, lastValue, history, kind, value, 5000) ? 1 : 0;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("drawings %ld (drawn %ld), %.1f us each\n", drawings, drawn,
                drawings > 0 ? seconds * 1e6 / static_cast<double>(drawings) : 0.0);
    std::printf("GDI objects: start %ld, end %ld\n", gdiStart, machine.GdiObjects());
    std::printf("resident KiB: start %ld, end %ld\n", residentStart, machine.ResidentKiB());
#ifdef _WIN32
    TimeTrayUpdates(renderer, config, trayDrawings);
#endif
    return 0;
}
