#include "settings/win32/FontColourChoice.h"

#include <commdlg.h>

#include <cwchar>

#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Handles.h"
#include "tray/TIconCanvas.h"

namespace kxp::settings {
namespace {

constexpr int kPointsPerInch = 72;
constexpr int kTenthsPerPoint = 10;

}  // namespace

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int length =
        ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(),
                              static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                          narrow.data(), length, nullptr, nullptr);
    return narrow;
}

COLORREF ScreenColour(TColor colour) {
    win32::Win32Drawing drawing;
    return ColorToRGB(drawing, colour) & 0xFFFFFF;
}

bool ChooseColour(HWND owner, TColor& colour, std::array<COLORREF, 16>& custom) {
    CHOOSECOLORW choice{};
    choice.lStructSize = sizeof(choice);
    choice.hwndOwner = owner;
    choice.rgbResult = ScreenColour(colour);
    choice.lpCustColors = custom.data();
    choice.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (::ChooseColorW(&choice) == FALSE) return false;
    colour = choice.rgbResult;
    return true;
}

bool ChooseFigureFont(HWND owner, TFontOptions& font) {
    const win32::ScreenDc screen;
    const int pixelsPerInch = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    LOGFONTW face{};
    face.lfHeight = -::MulDiv(font.Size, pixelsPerInch, kPointsPerInch);
    face.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
    face.lfItalic = font.Italic ? TRUE : FALSE;
    face.lfCharSet = DEFAULT_CHARSET;
    const std::wstring name = win32::Utf16(font.Name);
    std::wcsncpy(face.lfFaceName, name.c_str(), LF_FACESIZE - 1);

    CHOOSEFONTW choice{};
    choice.lStructSize = sizeof(choice);
    choice.hwndOwner = owner;
    choice.lpLogFont = &face;
    // Raster faces too: "Small Fonts" is the default of three-digit figures.
    choice.Flags = CF_INITTOLOGFONTSTRUCT | CF_SCREENFONTS | CF_NOVERTFONTS;
    if (::ChooseFontW(&choice) == FALSE) return false;
    const std::string chosen = Utf8(face.lfFaceName);
    if (chosen.empty()) return false;
    font.Name = chosen;
    font.Size = (choice.iPointSize + kTenthsPerPoint / 2) / kTenthsPerPoint;
    font.Bold = face.lfWeight >= FW_SEMIBOLD;
    font.Italic = face.lfItalic != FALSE;
    return true;
}

std::wstring FontDescription(const TFontOptions& font, const std::wstring& bold,
                             const std::wstring& italic) {
    std::wstring text = win32::Utf16(font.Name) + L" " + std::to_wstring(font.Size);
    if (font.Bold) text += L" " + bold;
    if (font.Italic) text += L" " + italic;
    return text;
}

void PaintColourButton(const DRAWITEMSTRUCT& item, COLORREF colour) {
    RECT frame = item.rcItem;
    const UINT state = (item.itemState & ODS_SELECTED) != 0 ? DFCS_PUSHED : 0;
    ::DrawFrameControl(item.hDC, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | state);
    RECT inside = frame;
    ::InflateRect(&inside, -4, -4);
    const win32::UniqueGdiObject brush(::CreateSolidBrush(colour));
    ::FillRect(item.hDC, &inside, static_cast<HBRUSH>(brush.get()));
    ::FrameRect(item.hDC, &inside, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    if ((item.itemState & ODS_FOCUS) != 0) {
        RECT focus = frame;
        ::InflateRect(&focus, -2, -2);
        ::DrawFocusRect(item.hDC, &focus);
    }
}

}  // namespace kxp::settings
