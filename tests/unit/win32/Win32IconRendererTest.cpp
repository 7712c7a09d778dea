#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/TConfig.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Handles.h"
#include "tray/DisplayModel.h"
#include "tray/TIconRenderer.h"

namespace kxp::win32 {
namespace {

constexpr std::uint32_t kGreen = 0x00FF00;

// An icon's 16 x 16 colour pixels (0x00RRGGBB) and mask, read back from the system.
struct IconPixels {
    std::vector<std::uint32_t> color;
    std::vector<bool> transparent;
    bool Ink(int x, int y) const {
        return !transparent[y * 16 + x] && ((color[y * 16 + x] >> 8) & 0xFF) >= 0x80;
    }
};

std::vector<std::uint32_t> Read(HBITMAP bitmap) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(256, 0);
    const ScreenDc screen;
    EXPECT_EQ(::GetDIBits(screen.get(), bitmap, 0, 16, pixels.data(), &info, DIB_RGB_COLORS), 16);
    for (auto& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

IconPixels ReadIcon(platform::Handle icon) {
    ICONINFO info{};
    if (::GetIconInfo(reinterpret_cast<HICON>(icon), &info) == FALSE) {
        ADD_FAILURE() << "no icon";
        return {std::vector<std::uint32_t>(256, 0), std::vector<bool>(256, true)};
    }
    const UniqueGdiObject mask(info.hbmMask);
    const UniqueGdiObject color(info.hbmColor);
    IconPixels pixels{Read(info.hbmColor), {}};
    for (const std::uint32_t bit : Read(info.hbmMask)) pixels.transparent.push_back(bit != 0);
    return pixels;
}

class Win32IconRendererTest : public ::testing::Test {
  protected:
    Win32IconRendererTest() {
        ApplyForeColor(config);
        renderer.emplace(drawing, locale);
        renderer->Objects().ApplyOptions(1, config);
    }

    IconPixels Draw(std::int32_t kind, std::uint32_t value, std::uint32_t maximum) {
        const OwnedIcon icon =
            renderer->DrawIcon(1, config, lastValue, history, kind, value, maximum);
        return ReadIcon(icon.get());
    }

    Win32Drawing drawing;
    Win32Locale locale;
    TConfig config = DefaultIcon1Config();
    std::optional<TIconRenderer> renderer;
    std::int32_t lastValue = -1;
    TPipe history{15};
};

struct TextCase {
    std::uint32_t value;
    int font;
    int drop;  // rows below exact centring
};

class Win32NumericTest : public Win32IconRendererTest,
                         public ::testing::WithParamInterface<TextCase> {};

// The renderer's image against the text drawn by hand at the centred place and one row higher.
TEST_P(Win32NumericTest, TextIsCentredInItsFont) {
    const TextCase& c = GetParam();
    const std::string text = NumericText(c.value, locale);
    const platform::Handle font = renderer->Objects().Font(1, c.font);
    TIconCanvas reference(drawing, 16, 16);
    const platform::Size size = reference.TextExtent(font, text);
    ASSERT_GT(size.cy, 0);
    ASSERT_LE(size.cy, 16) << "the font is missing: a fallback this tall shows nothing";
    const auto drawnAt = [&](int top) {
        reference.CopyFrom(renderer->Objects().BlankBitmap());
        reference.SetBrushColor(config.BackColor);
        reference.FillRect({0, 0, 16, 16});
        reference.WriteText(font, config.ForeColor, (16 - size.cx) / 2, top, text);
        const UniqueIcon icon(reinterpret_cast<HICON>(reference.ToIcon()));
        return ReadIcon(reinterpret_cast<platform::Handle>(icon.get())).color;
    };
    const std::vector<std::uint32_t> drawn = Draw(dkNumeric, c.value, 0).color;
    const int centred = (16 - size.cy) / 2;
    EXPECT_EQ(drawn, drawnAt(centred + c.drop)) << text;
    EXPECT_NE(drawn, drawnAt(centred + c.drop - 1)) << text;
    EXPECT_NE(drawn, std::vector<std::uint32_t>(256, 0)) << text << " left no ink";
}

INSTANTIATE_TEST_SUITE_P(TextTable, Win32NumericTest,
                         ::testing::Values(TextCase{7, 1, 0}, TextCase{42, 2, 0},
                                           TextCase{512, 3, 1}, TextCase{1000, 3, 1}));

TEST_F(Win32IconRendererTest, ThousandsUseTheLocalesDecimalSeparator) {
    wchar_t decimal[8] = {};
    ASSERT_GT(::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8), 0);
    EXPECT_EQ(Utf16(NumericText(1000, locale)), L"1" + std::wstring(decimal) + L"00");
}

std::vector<int> ColumnHeights(const IconPixels& icon) {
    std::vector<int> heights;
    for (int x = 0; x < 16; ++x) {
        int height = 0;
        for (int y = 0; y < 16; ++y) height += icon.Ink(x, y) ? 1 : 0;
        heights.push_back(height);
    }
    return heights;
}

TEST_F(Win32IconRendererTest, GraphColumnsOfZeroHalfAndFullLoad) {
    IconPixels icon;
    for (const std::uint32_t value : {0u, 50u, 100u}) icon = Draw(dkGraph, value, 100);
    std::vector<int> expected(13, 1);
    expected.insert(expected.end(), {1, 9, 16});
    EXPECT_EQ(ColumnHeights(icon), expected);
    for (int i = 0; i < 256; ++i) EXPECT_FALSE(icon.transparent[i]);  // black is opaque
}

struct BlockCase {
    std::uint32_t value;
    int height;
};

class Win32BlockTest : public Win32IconRendererTest,
                       public ::testing::WithParamInterface<BlockCase> {};

TEST_P(Win32BlockTest, BarHeightFollowsTheLevel) {
    EXPECT_EQ(ColumnHeights(Draw(dkBlock, GetParam().value, 100)),
              std::vector<int>(16, GetParam().height));
}

INSTANTIATE_TEST_SUITE_P(BlockTable, Win32BlockTest,
                         ::testing::Values(BlockCase{0, 1}, BlockCase{50, 9}, BlockCase{100, 16}));

TEST_F(Win32IconRendererTest, WhitePixelsAreTransparentAndForeColorOpaque) {
    config.Transparent = true;
    const IconPixels icon = Draw(dkBlock, 50, 100);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            EXPECT_EQ(icon.transparent[y * 16 + x], y < 7) << x << "," << y;
            if (y >= 7) {
                EXPECT_EQ(icon.color[y * 16 + x], kGreen) << x << "," << y;
            }
        }
    }
}

TEST_F(Win32IconRendererTest, ProgramIconsAreSixteenPixelResources) {
    for (const char* name : {"MAINICON", "BUSYICON"}) {
        const platform::Handle icon = drawing.LoadIconResource(name);
        ASSERT_NE(icon, 0u) << name;
        const IconPixels pixels = ReadIcon(icon);
        int opaque = 0;
        for (const bool transparent : pixels.transparent) opaque += transparent ? 0 : 1;
        EXPECT_GT(opaque, 64) << name;
        EXPECT_LT(opaque, 256) << name;
        EXPECT_TRUE(drawing.DestroyIcon(icon));
    }
    EXPECT_EQ(drawing.LoadIconResource("NOSUCHICON"), 0u);
}

}  // namespace
}  // namespace kxp::win32
