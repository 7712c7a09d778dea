#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Handles.h"

namespace kxp::win32 {
namespace {

template <typename T>
T As(platform::Handle handle) {
    return reinterpret_cast<T>(handle);
}

platform::Handle Of(const void* handle) {
    return reinterpret_cast<platform::Handle>(handle);
}

constexpr std::uint32_t kWhite = 0x00FFFFFF;

// 32 bits per pixel, top row first.
BITMAPINFO TopDownLayout(std::int32_t width, std::int32_t height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A top-down 32 bits per pixel DIB section; bits, when given, receives its pixels.
HBITMAP CreateTopDownBitmap(std::int32_t width, std::int32_t height, void** bits) {
    BITMAPINFO info = TopDownLayout(width, height);
    void* ignored = nullptr;
    return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits != nullptr ? bits : &ignored,
                              nullptr, 0);
}

}  // namespace

std::wstring Utf16(const std::string& text) {
    if (text.empty()) return {};
    const int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                          wide.data(), length);
    return wide;
}

platform::Handle Win32Drawing::CreateCompatibleDC() {
    return Of(::CreateCompatibleDC(nullptr));
}

bool Win32Drawing::DeleteDC(platform::Handle dc) {
    return ::DeleteDC(As<HDC>(dc)) != FALSE;
}

platform::Handle Win32Drawing::CreateBitmap(std::int32_t width, std::int32_t height) {
    return Of(CreateTopDownBitmap(width, height, nullptr));
}

platform::Handle Win32Drawing::CreateSolidBrush(platform::ColorRef color) {
    return Of(::CreateSolidBrush(color));
}

platform::Handle Win32Drawing::CreatePen(std::int32_t width, platform::ColorRef color) {
    return Of(::CreatePen(PS_SOLID, width, color));
}

platform::Handle Win32Drawing::CreateFontIndirectW(const platform::FontRequest& font) {
    LOGFONTW logFont{};
    {
        const ScreenDc screen;
        // Points to pixels at the screen's resolution; a negative height asks for the character
        // height rather than the cell's.
        logFont.lfHeight = -::MulDiv(font.Size, ::GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
    }
    logFont.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = font.Italic ? TRUE : FALSE;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
    logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    logFont.lfQuality = DEFAULT_QUALITY;
    const std::wstring name = Utf16(font.Name).substr(0, LF_FACESIZE - 1);
    std::memcpy(logFont.lfFaceName, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
    return Of(::CreateFontIndirectW(&logFont));
}

bool Win32Drawing::DeleteObject(platform::Handle object) {
    return ::DeleteObject(As<HGDIOBJ>(object)) != FALSE;
}

platform::Handle Win32Drawing::SelectObject(platform::Handle dc, platform::Handle object) {
    return Of(::SelectObject(As<HDC>(dc), As<HGDIOBJ>(object)));
}

bool Win32Drawing::FillRect(platform::Handle dc, const platform::Rect& rect,
                            platform::Handle brush) {
    const RECT area{rect.left, rect.top, rect.right, rect.bottom};
    return ::FillRect(As<HDC>(dc), &area, As<HBRUSH>(brush)) != 0;
}

bool Win32Drawing::MoveToEx(platform::Handle dc, std::int32_t x, std::int32_t y) {
    return ::MoveToEx(As<HDC>(dc), x, y, nullptr) != FALSE;
}

bool Win32Drawing::LineTo(platform::Handle dc, std::int32_t x, std::int32_t y) {
    return ::LineTo(As<HDC>(dc), x, y) != FALSE;
}

bool Win32Drawing::BitBlt(platform::Handle dc, std::int32_t x, std::int32_t y, std::int32_t width,
                          std::int32_t height, platform::Handle source, std::int32_t sourceX,
                          std::int32_t sourceY) {
    return ::BitBlt(As<HDC>(dc), x, y, width, height, As<HDC>(source), sourceX, sourceY, SRCCOPY) !=
           FALSE;
}

platform::ColorRef Win32Drawing::SetTextColor(platform::Handle dc, platform::ColorRef color) {
    return ::SetTextColor(As<HDC>(dc), color);
}

platform::ColorRef Win32Drawing::SetBkColor(platform::Handle dc, platform::ColorRef color) {
    return ::SetBkColor(As<HDC>(dc), color);
}

std::int32_t Win32Drawing::SetBkMode(platform::Handle dc, std::int32_t mode) {
    return ::SetBkMode(As<HDC>(dc), mode);
}

bool Win32Drawing::GetTextExtentPoint32W(platform::Handle dc, const std::string& text,
                                         platform::Size& size) {
    const std::wstring wide = Utf16(text);
    SIZE measured{};
    if (::GetTextExtentPoint32W(As<HDC>(dc), wide.c_str(), static_cast<int>(wide.size()),
                                &measured) == FALSE) {
        return false;
    }
    size = {measured.cx, measured.cy};
    return true;
}

bool Win32Drawing::TextOutW(platform::Handle dc, std::int32_t x, std::int32_t y,
                            const std::string& text) {
    const std::wstring wide = Utf16(text);
    return ::TextOutW(As<HDC>(dc), x, y, wide.c_str(), static_cast<int>(wide.size())) != FALSE;
}

platform::ColorRef Win32Drawing::GetSysColor(std::int32_t index) {
    return ::GetSysColor(index);
}

platform::Handle Win32Drawing::CreateIconFromBitmap(platform::Handle bitmap) {
    BITMAP size{};
    if (::GetObjectW(As<HGDIOBJ>(bitmap), sizeof(size), &size) != sizeof(size)) return 0;
    const std::int32_t width = size.bmWidth;
    const std::int32_t height = size.bmHeight;
    if (width <= 0 || height <= 0) return 0;
    // The pixels top row first, whichever way the bitmap keeps them.
    BITMAPINFO layout = TopDownLayout(width, height);
    std::vector<std::uint32_t> source(static_cast<std::size_t>(width) * height, 0);
    {
        const ScreenDc screen;
        if (::GetDIBits(screen.get(), As<HBITMAP>(bitmap), 0, static_cast<UINT>(height),
                        source.data(), &layout, DIB_RGB_COLORS) != height) {
            return 0;
        }
    }

    void* colorBits = nullptr;
    const UniqueGdiObject color(CreateTopDownBitmap(width, height, &colorBits));
    if (!color) return 0;
    auto* colorPixels = static_cast<std::uint32_t*>(colorBits);
    // Monochrome rows are padded to 16 bits; a set bit is transparent.
    const std::size_t maskStride = static_cast<std::size_t>((width + 15) / 16 * 2);
    std::vector<std::uint8_t> mask(maskStride * static_cast<std::size_t>(height), 0);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            // DIB pixels are 0x00RRGGBB; white is white in either order.
            const std::uint32_t pixel = source[static_cast<std::size_t>(y * width + x)] & kWhite;
            const bool transparent = pixel == kWhite;
            // Opaque pixels carry a full alpha, so that shells which honour alpha agree with
            // the mask.
            colorPixels[y * width + x] = transparent ? 0 : (pixel | 0xFF000000u);
            if (transparent) {
                mask[static_cast<std::size_t>(y) * maskStride + static_cast<std::size_t>(x / 8)] |=
                    static_cast<std::uint8_t>(0x80u >> (x % 8));
            }
        }
    }
    const UniqueGdiObject maskBitmap(::CreateBitmap(width, height, 1, 1, mask.data()));
    if (!maskBitmap) return 0;
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = static_cast<HBITMAP>(maskBitmap.get());
    info.hbmColor = static_cast<HBITMAP>(color.get());
    return Of(::CreateIconIndirect(&info));
}

platform::Handle Win32Drawing::LoadIconResource(const std::string& name) {
    const std::wstring wide = Utf16(name);
    if (wide.empty()) return 0;
    return Of(::LoadImageW(::GetModuleHandleW(nullptr), wide.c_str(), IMAGE_ICON, 16, 16,
                           LR_DEFAULTCOLOR));
}

bool Win32Drawing::DestroyIcon(platform::Handle icon) {
    return ::DestroyIcon(As<HICON>(icon)) != FALSE;
}

}  // namespace kxp::win32
