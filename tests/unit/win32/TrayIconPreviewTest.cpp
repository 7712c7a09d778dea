// The settings page's preview against the service's renderer: the icon the renderer draws for the
// record, pixel for pixel, each pixel a 6 x 6 square, the background where the icon is clear.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "config/TConfig.h"
#include "platform/win32/Win32Handles.h"
#include "settings/win32/TrayIconPreview.h"
#include "tray/DisplayModel.h"

namespace kxp::settings {
namespace {

constexpr int kScale = 6;
constexpr int kSide = 16 * kScale;
constexpr COLORREF kBackground = RGB(0x40, 0x80, 0xC0);

// Pixels as 0x00RRGGBB, top row first.
std::uint32_t Rgb(COLORREF colour) {
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

// What the preview paints into a 96 x 96 area.
std::vector<std::uint32_t> Painted(TrayIconPreview& preview) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kSide;
    info.bmiHeader.biHeight = -kSide;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const win32::UniqueGdiObject bitmap(
        ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const win32::UniqueDc dc(::CreateCompatibleDC(nullptr));
    if (!bitmap || !dc) {
        ADD_FAILURE() << "no bitmap";
        return {};
    }
    const HGDIOBJ previous = ::SelectObject(dc.get(), bitmap.get());
    preview.Paint(dc.get(), RECT{0, 0, kSide, kSide}, kBackground);
    ::GdiFlush();
    std::vector<std::uint32_t> pixels(static_cast<const std::uint32_t*>(bits),
                                      static_cast<const std::uint32_t*>(bits) + kSide * kSide);
    ::SelectObject(dc.get(), previous);
    for (auto& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

// The renderer's own icon of the record as 16 x 16 pixels, the background where it is clear.
std::vector<std::uint32_t> Rendered(int icon, const TConfig& record, std::int32_t kind,
                                    std::uint32_t value, std::uint32_t maximum) {
    win32::Win32Drawing drawing;
    win32::Win32Locale locale;
    TIconRenderer renderer(drawing, locale);
    TConfig drawn = record;
    ApplyForeColor(drawn);
    renderer.Objects().ApplyOptions(icon, drawn);
    std::int32_t last = -1;
    TPipe history(15);
    const OwnedIcon image = renderer.DrawIcon(icon, drawn, last, history, kind, value, maximum);
    const win32::UniqueDc dc(::CreateCompatibleDC(nullptr));
    const win32::ScreenDc screen;
    const win32::UniqueGdiObject bitmap(::CreateCompatibleBitmap(screen.get(), 16, 16));
    const HGDIOBJ previous = ::SelectObject(dc.get(), bitmap.get());
    const win32::UniqueGdiObject brush(::CreateSolidBrush(kBackground));
    const RECT all{0, 0, 16, 16};
    ::FillRect(dc.get(), &all, static_cast<HBRUSH>(brush.get()));
    ::DrawIconEx(dc.get(), 0, 0, reinterpret_cast<HICON>(image.get()), 16, 16, 0, nullptr,
                 DI_NORMAL);
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) pixels.push_back(Rgb(::GetPixel(dc.get(), x, y)));
    }
    ::SelectObject(dc.get(), previous);
    return pixels;
}

struct PreviewCase {
    const char* name;
    int icon;
    std::int32_t kind;
    std::uint32_t sample;
    bool transparent;
};

class TrayIconPreviewTest : public ::testing::TestWithParam<PreviewCase> {};

TEST_P(TrayIconPreviewTest, IsTheRenderersIconEnlarged) {
    const PreviewCase& c = GetParam();
    TConfig record = c.icon == 1 ? DefaultIcon1Config() : DefaultIcon2Config();
    record.Display1 = c.kind;
    record.Display2 = dmCpuUsageAll;
    record.Transparent = c.transparent;
    TrayIconPreview preview;
    preview.Render(c.icon, record, c.sample);
    const std::vector<std::uint32_t> painted = Painted(preview);
    ASSERT_EQ(painted.size(), static_cast<std::size_t>(kSide * kSide));
    const std::vector<std::uint32_t> icon =
        Rendered(c.icon, record, c.kind, c.sample, c.kind == dkNumeric ? 0 : 100);

    int ink = 0;
    int clear = 0;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const std::uint32_t expected = icon[(y / kScale) * 16 + x / kScale];
            ASSERT_EQ(painted[y * kSide + x], expected) << x << "," << y;
        }
    }
    for (const std::uint32_t pixel : icon) {
        ink += pixel == Rgb(record.ForeColor) ? 1 : 0;
        clear += pixel == Rgb(kBackground) ? 1 : 0;
    }
    EXPECT_GT(ink, 4) << "the figure left no ink";
    EXPECT_EQ(clear > 0, c.transparent);
}

INSTANTIATE_TEST_SUITE_P(Records, TrayIconPreviewTest,
                         ::testing::Values(PreviewCase{"NumericTwoDigits", 1, dkNumeric, 42, false},
                                           PreviewCase{"NumericTransparent", 1, dkNumeric, 7, true},
                                           PreviewCase{"BlockOfIcon2", 2, dkBlock, 50, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TrayIconPreview, ShowsOnlyTheBackgroundForACodeOutsideTheTables) {
    TConfig record = DefaultIcon1Config();
    record.Display1 = 4;
    TrayIconPreview preview;
    preview.Render(1, record, 42);
    EXPECT_EQ(Painted(preview), std::vector<std::uint32_t>(kSide * kSide, Rgb(kBackground)));
}

}  // namespace
}  // namespace kxp::settings
