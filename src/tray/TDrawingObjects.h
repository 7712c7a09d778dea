// The drawing objects of the two tray icons, made once for the life of the service's working
// objects: each icon's bitmap with its fill and line colours, the all-white bitmap every drawing
// starts from, and each icon's three fonts.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "config/TConfig.h"
#include "platform/DrawingHandles.h"
#include "platform/Platform.h"
#include "tray/TIconCanvas.h"

namespace kxp {

inline constexpr std::int32_t kIconSize = 16;

class TDrawingObjects {
  public:
    // Throws std::runtime_error when the system has no DC or bitmap to give.
    explicit TDrawingObjects(platform::Drawing& drawing);

    // Tray icon 1 or 2.
    TIconCanvas& IconBitmap(int icon) { return *icons_[Index(icon)].canvas; }
    const TIconCanvas& BlankBitmap() const { return blank_; }
    // Font 1, 2 or 3 of the icon; 0 when the system could not make it.
    platform::Handle Font(int icon, int font) const;

    // After every reading of the options: the fonts whose name, size or style changed are made
    // anew, the fill colour is white with Transparent and BackColor without, the line colour
    // ForeColor.
    void ApplyOptions(int icon, const TConfig& config);

  private:
    struct IconObjects {
        std::array<platform::FontRequest, 3> requests;
        std::array<OwnedGdiObject, 3> fonts;
        // Behind a pointer only so that the record can be built in a loop.
        std::unique_ptr<TIconCanvas> canvas;
    };
    static std::size_t Index(int icon) { return icon == 2 ? 1 : 0; }

    platform::Drawing& drawing_;
    TIconCanvas blank_;
    std::array<IconObjects, 2> icons_;
};

}  // namespace kxp
