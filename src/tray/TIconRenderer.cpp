#include "tray/TIconRenderer.h"

#include <string>

#include "tray/DisplayModel.h"

namespace kxp {
namespace {

std::uint64_t PowerOfTen(int exponent) {
    std::uint64_t power = 1;
    while (exponent-- > 0) power *= 10;
    return power;
}

// Where and in which font a numeric value's text goes.
struct TextPlace {
    int font;
    bool centred;
    std::int32_t x;
    std::int32_t y;
    std::int32_t centredDrop;  // rows below exact centring
};

TextPlace PlaceOf(std::uint32_t value, const TConfig& config) {
    if (value < 10) return {1, config.Center1, config.X1, config.Y1, 0};
    if (value < 100) return {2, config.Center2, config.X2, config.Y2, 0};
    return {3, config.Center3, config.X3, config.Y3, 1};
}

}  // namespace

std::string NumericText(std::uint32_t value, platform::Locale& locale) {
    if (value < 1000) return std::to_string(value);
    // value / 1000 to seven significant digits, then to two decimals, each half up; worked in
    // thousandths so that no binary fraction gets in the way.
    std::uint64_t thousandths = value;
    const int digits = static_cast<int>(std::to_string(value).size());
    if (digits > 7) {
        const std::uint64_t unit = PowerOfTen(digits - 7);
        thousandths = (thousandths + unit / 2) / unit * unit;
    }
    const std::uint64_t hundredths = (thousandths + 5) / 10;
    const std::uint64_t fraction = hundredths % 100;
    const std::string plain = std::to_string(hundredths / 100) + "." + (fraction < 10 ? "0" : "") +
                              std::to_string(fraction);
    std::string formatted;
    if (!locale.GetNumberFormatW(plain, 2, formatted)) return {};
    return formatted;
}

TIconRenderer::TIconRenderer(platform::Drawing& drawing, platform::Locale& locale)
    : drawing_(drawing), locale_(locale), objects_(drawing) {}

OwnedIcon TIconRenderer::DrawIcon(int icon, const TConfig& config, std::int32_t& lastValue,
                                  TPipe& history, std::int32_t kind, std::uint32_t value,
                                  std::uint32_t maximum) {
    if (icon != 1 && icon != 2) return {};
    if (kind != dkGraph && lastValue >= 0 && lastValue == static_cast<std::int32_t>(value)) {
        return {};
    }
    lastValue = static_cast<std::int32_t>(value);
    TIconCanvas& canvas = objects_.IconBitmap(icon);
    switch (kind) {
        case dkNumeric:
            DrawNumeric(icon, canvas, config, value);
            break;
        case dkGraph:
            DrawGraph(canvas, config, history, FigureRow(value, maximum));
            break;
        case dkBlock:
            DrawBlock(canvas, config, FigureRow(value, maximum));
            break;
        default:
            return {};
    }
    return OwnedIcon(canvas.ToIcon(), DestroyIconWith{&drawing_});
}

void TIconRenderer::StartFromBlank(TIconCanvas& canvas, const TConfig& config) {
    canvas.CopyFrom(objects_.BlankBitmap());
    if (!config.Transparent) canvas.FillRect({0, 0, kIconSize, kIconSize});
}

void TIconRenderer::DrawNumeric(int icon, TIconCanvas& canvas, const TConfig& config,
                                std::uint32_t value) {
    StartFromBlank(canvas, config);
    const TextPlace place = PlaceOf(value, config);
    const TFontOptions& options = place.font == 1   ? config.Font1
                                  : place.font == 2 ? config.Font2
                                                    : config.Font3;
    const platform::Handle font = objects_.Font(icon, place.font);
    const std::string text = NumericText(value, locale_);
    std::int32_t x = place.x;
    std::int32_t y = place.y;
    if (place.centred) {
        const platform::Size size = canvas.TextExtent(font, text);
        // Division truncates toward zero: a text wider than the icon starts at most one pixel
        // left of it per two pixels of excess.
        x = (kIconSize - size.cx) / 2;
        y = (kIconSize - size.cy) / 2 + place.centredDrop;
    }
    canvas.WriteText(font, options.Color, x, y, text);
}

void TIconRenderer::DrawGraph(TIconCanvas& canvas, const TConfig& config, TPipe& history,
                              std::uint8_t row) {
    StartFromBlank(canvas, config);
    history.Push(row);
    for (std::int32_t x = 0; x < kIconSize; ++x) {
        canvas.VerticalLine(x, history.Slots[static_cast<std::size_t>(x)], kIconSize);
    }
}

void TIconRenderer::DrawBlock(TIconCanvas& canvas, const TConfig& config, std::uint8_t row) {
    canvas.CopyFrom(objects_.BlankBitmap());
    if (!config.Transparent) {
        canvas.SetBrushColor(config.BackColor);
        canvas.FillRect({0, 0, kIconSize, kIconSize});
    }
    canvas.SetBrushColor(config.ForeColor);
    canvas.FillRect({0, row, kIconSize, kIconSize});
}

}  // namespace kxp
