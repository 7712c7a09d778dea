#include "config/TConfig.h"

namespace kxp {

void ApplyForeColor(TConfig& config) {
    if (config.ForeColor == clWhite) config.ForeColor = 0xFFFFFE;
    for (TFontOptions* font : {&config.Font1, &config.Font2, &config.Font3}) {
        if (font->Color == clWindowText || font->Color == clBlack) font->Color = config.ForeColor;
    }
}

}  // namespace kxp
