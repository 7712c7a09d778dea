#include "settings/win32/TrayIconsPage.h"

#include <commctrl.h>

#include <optional>
#include <stdexcept>
#include <utility>

#include "settings/win32/FontColourChoice.h"
#include "settings/win32/PageControls.h"

namespace kxp::settings {
namespace {

// Each pixel of the 16 x 16 icon as a square of this many pixels.
constexpr int kPreviewScale = 6;
constexpr int kMaximumSample = 99999;
constexpr const wchar_t* kBadNumber = L"Please enter a whole number here.";

// The preview's static control made exactly as large as the enlarged icon, about its centre.
void SizePreview(HWND page) {
    const HWND preview = ::GetDlgItem(page, IDC_TRAY_PREVIEW);
    RECT place{};
    ::GetWindowRect(preview, &place);
    ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&place), 2);
    const int size = kIconSize * kPreviewScale;
    const int left = (place.left + place.right - size) / 2;
    const int top = (place.top + place.bottom - size) / 2;
    ::SetWindowPos(preview, nullptr, left, top, size, size, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void TrayIconsPage::Create(HWND page, SettingsHost& host) {
    host_ = &host;
    bold_ = host.Caption(IDS_TRAY_BOLD, bold_);
    italic_ = host.Caption(IDS_TRAY_ITALIC, italic_);
    try {
        preview_ = std::make_unique<TrayIconPreview>();
    } catch (const std::runtime_error&) {
        // Without drawing objects the page still edits the options; it only shows no preview.
    }
    SizePreview(page);
    FillCombos(page);
    ::SendDlgItemMessageW(page, IDC_TRAY_REFRESH_SPIN, UDM_SETRANGE32, 0, 0x7FFFFFFF);
    ::SendDlgItemMessageW(page, IDC_TRAY_SAMPLE_SPIN, UDM_SETRANGE32, 0, kMaximumSample);
    const bool filling = std::exchange(filling_, true);
    SetNumber(page, IDC_TRAY_SAMPLE, sample_);
    filling_ = filling;
}

void TrayIconsPage::Show(HWND page, const SettingsState& state) {
    working_ = state.user;
    set_ = ShownSet() ? 1 : 0;
    ShowRecord(page);
}

bool TrayIconsPage::Take(HWND page, SettingsState& state) {
    if (const int bad = BadNumber(page); bad != 0) {
        RefuseValue(page, bad, host_->Caption(IDS_TRAY_BAD_NUMBER, kBadNumber));
        ::SendDlgItemMessageW(page, bad, EM_SETSEL, 0, -1);
        return false;
    }
    CopyTrayIconOptions(working_, state.user);
    return true;
}

INT_PTR TrayIconsPage::Handle(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int control = LOWORD(wParam);
            const int notification = HIWORD(wParam);
            if (filling_) return TRUE;
            if (notification == BN_CLICKED &&
                (control == IDC_TRAY_ICON1 || control == IDC_TRAY_ICON2)) {
                icon_ = control == IDC_TRAY_ICON2 ? 2 : 1;
                set_ = ShownSet() ? 1 : 0;
                ShowRecord(page);
                return TRUE;
            }
            if (notification == BN_CLICKED &&
                (control == IDC_TRAY_PRIMARY || control == IDC_TRAY_ALTERNATE)) {
                set_ = control == IDC_TRAY_ALTERNATE ? 1 : 0;
                ShowRecord(page);
                return TRUE;
            }
            if (control == IDC_TRAY_SAMPLE && notification == EN_CHANGE) {
                const std::optional<int> sample = GetNumber(page, control);
                if (sample && *sample >= 0) sample_ = *sample;
                Redraw(page);
                return TRUE;
            }
            if (RecordEdited(page, control, notification)) {
                host_->Changed();
                Redraw(page);
                return TRUE;
            }
            return FALSE;
        }
        case WM_DRAWITEM:
            DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        default:
            return FALSE;
    }
}

void TrayIconsPage::Redraw(HWND page) {
    if (preview_) preview_->Render(icon_, Record(), static_cast<std::uint32_t>(sample_));
    ::InvalidateRect(::GetDlgItem(page, IDC_TRAY_PREVIEW), nullptr, FALSE);
    // The figures' colours may follow the foreground colour.
    for (const int button : {IDC_TRAY_FORECOLOR, IDC_TRAY_BACKCOLOR, IDC_TRAY_FONTCOLOR1,
                             IDC_TRAY_FONTCOLOR1 + 1, IDC_TRAY_FONTCOLOR1 + 2}) {
        ::InvalidateRect(::GetDlgItem(page, button), nullptr, FALSE);
    }
}

void TrayIconsPage::DrawItem(const DRAWITEMSTRUCT& item) {
    const TConfig& record = Record();
    TConfig drawn = record;
    ApplyForeColor(drawn);
    switch (item.CtlID) {
        case IDC_TRAY_PREVIEW:
            if (preview_) {
                preview_->Paint(item.hDC, item.rcItem, ::GetSysColor(COLOR_3DFACE));
            } else {
                ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(COLOR_3DFACE));
            }
            break;
        case IDC_TRAY_FORECOLOR:
            PaintColourButton(item, ScreenColour(record.ForeColor));
            break;
        case IDC_TRAY_BACKCOLOR:
            PaintColourButton(item, ScreenColour(record.BackColor));
            break;
        case IDC_TRAY_FONTCOLOR1:
            PaintColourButton(item, ScreenColour(drawn.Font1.Color));
            break;
        case IDC_TRAY_FONTCOLOR1 + 1:
            PaintColourButton(item, ScreenColour(drawn.Font2.Color));
            break;
        case IDC_TRAY_FONTCOLOR1 + 2:
            PaintColourButton(item, ScreenColour(drawn.Font3.Color));
            break;
        default:
            break;
    }
}

}  // namespace kxp::settings
