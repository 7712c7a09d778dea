#include "tray/TDrawingObjects.h"

namespace kxp {

TDrawingObjects::TDrawingObjects(platform::Drawing& drawing)
    : drawing_(drawing), blank_(drawing, kIconSize, kIconSize) {
    blank_.FillRect({0, 0, kIconSize, kIconSize});  // the fill colour starts white
    for (IconObjects& icon : icons_) {
        icon.canvas = std::make_unique<TIconCanvas>(drawing, kIconSize, kIconSize);
    }
}

platform::Handle TDrawingObjects::Font(int icon, int font) const {
    if (font < 1 || font > 3) return 0;
    return icons_[Index(icon)].fonts[static_cast<std::size_t>(font - 1)].get();
}

void TDrawingObjects::ApplyOptions(int icon, const TConfig& config) {
    IconObjects& objects = icons_[Index(icon)];
    const TFontOptions* options[] = {&config.Font1, &config.Font2, &config.Font3};
    for (std::size_t i = 0; i < objects.fonts.size(); ++i) {
        const platform::FontRequest request{options[i]->Name, options[i]->Size, options[i]->Bold,
                                            options[i]->Italic};
        if (objects.fonts[i] && request == objects.requests[i]) continue;
        // Fonts are selected only while a text is drawn, so the old one is free to go.
        objects.fonts[i] =
            OwnedGdiObject(drawing_.CreateFontIndirectW(request), DeleteObjectWith{&drawing_});
        objects.requests[i] = request;
    }
    objects.canvas->SetBrushColor(config.Transparent ? clWhite : config.BackColor);
    objects.canvas->SetPenColor(config.ForeColor);
}

}  // namespace kxp
