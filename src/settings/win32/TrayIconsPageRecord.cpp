// The Tray icons page's record in its controls, and the controls' edits back in the record.
#include <array>
#include <optional>
#include <string>
#include <utility>

#include "settings/win32/FontColourChoice.h"
#include "settings/win32/PageControls.h"
#include "settings/win32/TrayIconsPage.h"
#include "tray/DisplayModel.h"
#include "tray/MenuCaptions.h"

namespace kxp::settings {
namespace {

// The fields of the three figures (one digit, two digits, three or more), in control order.
constexpr std::array<TFontOptions TConfig::*, 3> kFonts{&TConfig::Font1, &TConfig::Font2,
                                                        &TConfig::Font3};
constexpr std::array<bool TConfig::*, 3> kCentres{&TConfig::Center1, &TConfig::Center2,
                                                  &TConfig::Center3};
constexpr std::array<std::int32_t TConfig::*, 3> kLefts{&TConfig::X1, &TConfig::X2, &TConfig::X3};
constexpr std::array<std::int32_t TConfig::*, 3> kTops{&TConfig::Y1, &TConfig::Y2, &TConfig::Y3};

// The control of figure f (0, 1, 2) in a row of three.
constexpr int Figure(int first, std::size_t f) {
    return first + static_cast<int>(f);
}

std::wstring Wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

// A combo box item per code; a stored code outside the list selects none.
void Select(HWND page, int control, std::int32_t code, std::size_t count) {
    const bool listed = code >= 0 && static_cast<std::size_t>(code) < count;
    ::SendDlgItemMessageW(page, control, CB_SETCURSEL, listed ? code : -1, 0);
}

}  // namespace

void TrayIconsPage::FillCombos(HWND page) {
    // The tray menus' own captions in the user's language, so that page and menus agree.
    const TMenuCaptions captions =
        TranslateMenuCaptions(DefaultMenuCaptions(), [this](std::int64_t number) {
            const std::wstring text = host_->Caption(static_cast<int>(number), L"");
            return std::u16string(text.begin(), text.end());
        });
    // In code order: the position of an item is its code.
    for (std::size_t code = 0; code < kDisplayKinds.size(); ++code) {
        const std::string item = std::string("miD_") + kDisplayKinds[code].MenuItem;
        AddComboItem(::GetDlgItem(page, IDC_TRAY_KIND), Wide(captions.Caption(item)),
                     static_cast<LPARAM>(code));
    }
    for (std::size_t code = 0; code < kDisplayMetrics.size(); ++code) {
        const std::string item = std::string("miD_Numeric_") + kDisplayMetrics[code].MenuItem;
        AddComboItem(::GetDlgItem(page, IDC_TRAY_METRIC), Wide(captions.Caption(item)),
                     static_cast<LPARAM>(code));
    }
}

void TrayIconsPage::ShowRecord(HWND page) {
    const bool filling = std::exchange(filling_, true);
    const TConfig& record = Record();
    ::CheckRadioButton(page, IDC_TRAY_ICON1, IDC_TRAY_ICON2,
                       icon_ == 2 ? IDC_TRAY_ICON2 : IDC_TRAY_ICON1);
    ::CheckRadioButton(page, IDC_TRAY_PRIMARY, IDC_TRAY_ALTERNATE,
                       set_ == 1 ? IDC_TRAY_ALTERNATE : IDC_TRAY_PRIMARY);
    SetCheck(page, IDC_TRAY_SHOWN, ShownSet() == (set_ == 1));
    Select(page, IDC_TRAY_KIND, record.Display1, kDisplayKinds.size());
    Select(page, IDC_TRAY_METRIC, record.Display2, kDisplayMetrics.size());
    ::EnableWindow(::GetDlgItem(page, IDC_TRAY_METRIC), record.Display1 != dkIcon);
    SetNumber(page, IDC_TRAY_REFRESH, record.Refresh);
    SetCheck(page, IDC_TRAY_TRANSPARENT, record.Transparent);
    for (std::size_t f = 0; f < kFonts.size(); ++f) {
        SetCheck(page, Figure(IDC_TRAY_CENTRE1, f), record.*kCentres[f]);
        SetNumber(page, Figure(IDC_TRAY_X1, f), record.*kLefts[f]);
        SetNumber(page, Figure(IDC_TRAY_Y1, f), record.*kTops[f]);
    }
    ShowFonts(page);
    SetCheck(page, IDC_TRAY_HIDE_SECOND, working_.UserWide().NoSecondTray);
    filling_ = filling;
    Redraw(page);
}

void TrayIconsPage::ShowFonts(HWND page) {
    for (std::size_t f = 0; f < kFonts.size(); ++f) {
        const std::wstring text = FontDescription(Record().*kFonts[f], bold_, italic_);
        ::SetDlgItemTextW(page, Figure(IDC_TRAY_FONT1, f), text.c_str());
    }
}

bool TrayIconsPage::RecordEdited(HWND page, int control, int notification) {
    TConfig& record = Record();
    if (notification == EN_CHANGE) {
        const std::optional<int> typed = GetNumber(page, control);
        if (!typed) return false;
        const std::int32_t number = *typed;
        if (control == IDC_TRAY_REFRESH) {
            record.Refresh = number;
            return true;
        }
        for (std::size_t f = 0; f < kFonts.size(); ++f) {
            if (control == Figure(IDC_TRAY_X1, f)) record.*kLefts[f] = number;
            if (control == Figure(IDC_TRAY_Y1, f)) record.*kTops[f] = number;
            if (control == Figure(IDC_TRAY_X1, f) || control == Figure(IDC_TRAY_Y1, f)) return true;
        }
        return false;
    }
    if (notification == CBN_SELCHANGE) {
        const auto selected =
            static_cast<std::int32_t>(::SendDlgItemMessageW(page, control, CB_GETCURSEL, 0, 0));
        if (selected < 0) return false;
        if (control == IDC_TRAY_KIND) {
            record.Display1 = selected;
            ::EnableWindow(::GetDlgItem(page, IDC_TRAY_METRIC), selected != dkIcon);
            return true;
        }
        if (control == IDC_TRAY_METRIC) {
            record.Display2 = selected;
            return true;
        }
        return false;
    }
    if (notification != BN_CLICKED) return false;
    switch (control) {
        case IDC_TRAY_SHOWN:
            ShownSet() = GetCheck(page, control) == (set_ == 1);
            return true;
        case IDC_TRAY_TRANSPARENT:
            record.Transparent = GetCheck(page, control);
            return true;
        case IDC_TRAY_HIDE_SECOND:
            working_.UserWide().NoSecondTray = GetCheck(page, control);
            return true;
        default:
            break;
    }
    for (std::size_t f = 0; f < kFonts.size(); ++f) {
        if (control == Figure(IDC_TRAY_CENTRE1, f)) {
            record.*kCentres[f] = GetCheck(page, control);
            return true;
        }
    }
    return ChooseFor(page, control);
}

bool TrayIconsPage::ChooseFor(HWND page, int control) {
    TConfig& record = Record();
    if (control == IDC_TRAY_FORECOLOR) return ChooseColour(page, record.ForeColor, customColours_);
    if (control == IDC_TRAY_BACKCOLOR) return ChooseColour(page, record.BackColor, customColours_);
    for (std::size_t f = 0; f < kFonts.size(); ++f) {
        TFontOptions& font = record.*kFonts[f];
        if (control == Figure(IDC_TRAY_FONTCOLOR1, f)) {
            return ChooseColour(page, font.Color, customColours_);
        }
        if (control == Figure(IDC_TRAY_FONT1, f)) {
            if (!ChooseFigureFont(page, font)) return false;
            ShowFonts(page);
            return true;
        }
    }
    return false;
}

int TrayIconsPage::BadNumber(HWND page) {
    for (const int control : {IDC_TRAY_REFRESH, IDC_TRAY_X1, IDC_TRAY_Y1, IDC_TRAY_X1 + 1,
                              IDC_TRAY_Y1 + 1, IDC_TRAY_X1 + 2, IDC_TRAY_Y1 + 2}) {
        if (!GetNumber(page, control)) return control;
    }
    return 0;
}

}  // namespace kxp::settings
