// A settings page made from its template on a real dialog, with a host that records what the page
// asks of the window, and an answerer for the one message box a refusal shows.
#pragma once

#include <windows.h>
// The common controls need windows.h first.
#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "settings/win32/FileCachePage.h"
#include "settings/win32/FileCachePageIds.h"
#include "settings/win32/MemoryPage.h"

namespace kxp::settings::test {

inline constexpr const wchar_t* kTitle = L"Machine pages test";

class TestHost final : public SettingsHost {
  public:
    void Changed() override { ++changes; }
    bool SendToService(int code) override {
        sent.push_back(code);
        return serviceTakes;
    }
    std::wstring Caption(int, const std::wstring& fallback) const override { return fallback; }
    void RestartElevated() override { ++elevations; }

    int changes = 0;
    int elevations = 0;
    bool serviceTakes = true;
    std::vector<int> sent;
};

inline INT_PTR CALLBACK PageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return TRUE;
    }
    auto* page = reinterpret_cast<SettingsPage*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    return page != nullptr ? page->Handle(dialog, message, wParam, lParam) : FALSE;
}

inline std::wstring Text(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

// The message box with the test's title that a thread shows; none when it shows none. Only that
// thread's windows count: tests run side by side, each with its own boxes.
inline HWND ThreadBox(DWORD thread) {
    HWND found = nullptr;
    ::EnumThreadWindows(
        thread,
        [](HWND window, LPARAM lParam) -> BOOL {
            wchar_t name[16] = {};
            ::GetClassNameW(window, name, 16);
            if (std::wstring(name) != L"#32770" || Text(window) != kTitle) return TRUE;
            *reinterpret_cast<HWND*>(lParam) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Answers the one message box the page may show, from another thread, within a deadline.
class BoxAnswerer {
  public:
    BoxAnswerer()
        : thread_([this, owner = ::GetCurrentThreadId()] {
              const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
              while (!stop_ && std::chrono::steady_clock::now() < deadline) {
                  if (HWND box = ThreadBox(owner)) {
                      text_ = Text(::GetDlgItem(box, 0xFFFF));
                      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                      return;
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
          }) {}
    // What the box said; empty when none was shown.
    std::wstring Finish() {
        stop_ = true;
        thread_.join();
        return text_;
    }

  private:
    std::atomic<bool> stop_{false};
    std::wstring text_;
    std::thread thread_;
};

inline std::unique_ptr<SettingsPage> MakePage(bool memoryPage) {
    if (memoryPage) return std::make_unique<MemoryPage>();
    return std::make_unique<FileCachePage>();
}

// A page made from its template inside a hidden top-level window with the test's title.
class PageFixture {
  public:
    explicit PageFixture(std::unique_ptr<SettingsPage> page) : page_(std::move(page)) {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
        ::InitCommonControlsEx(&controls);
        parent_ = ::CreateWindowExW(0, L"STATIC", kTitle, WS_POPUP, 0, 0, 600, 500, nullptr,
                                    nullptr, nullptr, nullptr);
        dialog_ =
            ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(page_->TemplateId()),
                                 parent_, PageProc, reinterpret_cast<LPARAM>(page_.get()));
        if (dialog_ != nullptr) page_->Create(dialog_, host);
    }
    ~PageFixture() {
        if (parent_ != nullptr) ::DestroyWindow(parent_);
    }
    PageFixture(const PageFixture&) = delete;
    PageFixture& operator=(const PageFixture&) = delete;

    HWND dialog() const { return dialog_; }
    SettingsPage& page() { return *page_; }
    HWND Item(int id) const { return ::GetDlgItem(dialog_, id); }
    void Type(int id, const wchar_t* text) { ::SetDlgItemTextW(dialog_, id, text); }
    // What a click of the user's does: a check box toggles, a radio button takes the check from
    // the others of its group, and the page hears of it.
    void Click(int id) {
        HWND button = Item(id);
        const LONG type = ::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
        if (type == BS_AUTOCHECKBOX) {
            const bool checked = ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
            ::SendMessageW(button, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
        } else if (type == BS_AUTORADIOBUTTON) {
            ::CheckRadioButton(dialog_, IDC_CACHE_OFF, IDC_CACHE_FIXED, id);
        }
        ::SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(button));
    }

    TestHost host;

  private:
    std::unique_ptr<SettingsPage> page_;
    HWND parent_ = nullptr;
    HWND dialog_ = nullptr;
};

}  // namespace kxp::settings::test
