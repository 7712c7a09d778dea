#include "platform/sim/SimDesktop.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace kxp::sim {
namespace {

// What a fresh DC has selected: stock objects, never counted and never released.
constexpr platform::Handle kStockBitmap = 0x10;
constexpr platform::Handle kStockPen = 0x11;
constexpr platform::Handle kStockFont = 0x12;
constexpr platform::Handle kStockBrush = 0x13;
constexpr platform::ColorRef kWhite = 0xFFFFFF;

void Plot(SimBitmap& bitmap, std::int32_t x, std::int32_t y, platform::ColorRef color) {
    if (x < 0 || y < 0 || x >= bitmap.width || y >= bitmap.height) return;
    bitmap.pixels[static_cast<std::size_t>(y * bitmap.width + x)] = color & kWhite;
}

void Fill(SimBitmap& bitmap, platform::Rect rect, platform::ColorRef color) {
    const std::int32_t left = std::max(rect.left, 0);
    const std::int32_t top = std::max(rect.top, 0);
    const std::int32_t right = std::min(rect.right, bitmap.width);
    const std::int32_t bottom = std::min(rect.bottom, bitmap.height);
    for (std::int32_t y = top; y < bottom; ++y) {
        for (std::int32_t x = left; x < right; ++x) Plot(bitmap, x, y, color);
    }
}

}  // namespace

SimDesktop::SimDesktop() : iconResources_{"MAINICON", "BUSYICON"} {
    sysColors_[5] = kWhite;  // COLOR_WINDOW
    sysColors_[8] = 0;       // COLOR_WINDOWTEXT
}

platform::Size SimDesktop::CharacterCell(const platform::FontRequest& font) {
    const std::int32_t size = std::max(font.Size, 0);
    return {size / 2 + 2, size + 4};
}

SimDesktop::Object SimDesktop::Made(Kind kind) {
    Object object;
    object.kind = kind;
    return object;
}

platform::Handle SimDesktop::AddObject(Object object) {
    const platform::Handle handle = next_++;
    objects_.emplace(handle, std::move(object));
    return handle;
}

SimDesktop::Object* SimDesktop::Find(platform::Handle object, Kind kind) {
    const auto found = objects_.find(object);
    return found != objects_.end() && found->second.kind == kind ? &found->second : nullptr;
}

std::optional<SimDesktop::Kind> SimDesktop::KindOf(platform::Handle object) const {
    switch (object) {
        case kStockBitmap:
            return Kind::Bitmap;
        case kStockPen:
            return Kind::Pen;
        case kStockFont:
            return Kind::Font;
        case kStockBrush:
            return Kind::Brush;
        default:
            break;
    }
    const auto found = objects_.find(object);
    if (found == objects_.end()) return std::nullopt;
    return found->second.kind;
}

SimBitmap* SimDesktop::Target(platform::Handle dc) {
    const auto found = dcs_.find(dc);
    if (found == dcs_.end()) return nullptr;
    Object* bitmap = Find(found->second.bitmap, Kind::Bitmap);
    return bitmap != nullptr ? &bitmap->bitmap : nullptr;
}

platform::Handle& SimDesktop::Slot(Dc& dc, Kind kind) {
    switch (kind) {
        case Kind::Pen:
            return dc.pen;
        case Kind::Font:
            return dc.font;
        case Kind::Brush:
            return dc.brush;
        default:
            return dc.bitmap;
    }
}

platform::Size SimDesktop::TextSize(const Dc& dc, const std::string& text) {
    const Object* font = Find(dc.font, Kind::Font);
    const platform::Size cell =
        CharacterCell(font != nullptr ? font->font : platform::FontRequest{});
    return {cell.cx * static_cast<std::int32_t>(text.size()), cell.cy};
}

bool SimDesktop::Release(platform::Handle object, Kind kind) {
    const auto found = objects_.find(object);
    if (found == objects_.end() || found->second.kind != kind || found->second.selections != 0) {
        ++badReleases_;
        return false;
    }
    objects_.erase(found);
    return true;
}

platform::Handle SimDesktop::CreateCompatibleDC() {
    std::lock_guard lock(mutex_);
    const platform::Handle handle = next_++;
    Dc dc;
    dc.bitmap = kStockBitmap;
    dc.pen = kStockPen;
    dc.font = kStockFont;
    dc.brush = kStockBrush;
    dcs_.emplace(handle, dc);
    return handle;
}

bool SimDesktop::DeleteDC(platform::Handle dc) {
    std::lock_guard lock(mutex_);
    const auto found = dcs_.find(dc);
    if (found == dcs_.end()) {
        ++badReleases_;
        return false;
    }
    for (const platform::Handle selected :
         {found->second.bitmap, found->second.pen, found->second.font, found->second.brush}) {
        const auto object = objects_.find(selected);
        if (object != objects_.end()) --object->second.selections;
    }
    dcs_.erase(found);
    return true;
}

platform::Handle SimDesktop::CreateBitmap(std::int32_t width, std::int32_t height) {
    if (width <= 0 || height <= 0) return 0;
    std::lock_guard lock(mutex_);
    Object object = Made(Kind::Bitmap);
    object.bitmap = {width, height,
                     std::vector<platform::ColorRef>(static_cast<std::size_t>(width) * height, 0)};
    return AddObject(std::move(object));
}

platform::Handle SimDesktop::CreateSolidBrush(platform::ColorRef color) {
    std::lock_guard lock(mutex_);
    Object object = Made(Kind::Brush);
    object.color = color;
    return AddObject(std::move(object));
}

platform::Handle SimDesktop::CreatePen(std::int32_t, platform::ColorRef color) {
    std::lock_guard lock(mutex_);
    Object object = Made(Kind::Pen);
    object.color = color;
    return AddObject(std::move(object));
}

platform::Handle SimDesktop::CreateFontIndirectW(const platform::FontRequest& font) {
    std::lock_guard lock(mutex_);
    Object object = Made(Kind::Font);
    object.font = font;
    object.font.Name.resize(std::min<std::size_t>(font.Name.size(), 31));
    fontsCreated_.push_back(object.font);
    return AddObject(std::move(object));
}

bool SimDesktop::DeleteObject(platform::Handle object) {
    std::lock_guard lock(mutex_);
    const std::optional<Kind> kind = KindOf(object);
    if (!kind || *kind == Kind::Icon) {
        ++badReleases_;
        return false;
    }
    return Release(object, *kind);
}

platform::Handle SimDesktop::SelectObject(platform::Handle dc, platform::Handle object) {
    std::lock_guard lock(mutex_);
    const auto found = dcs_.find(dc);
    const std::optional<Kind> kind = KindOf(object);
    if (found == dcs_.end() || !kind || *kind == Kind::Icon) return 0;
    platform::Handle& slot = Slot(found->second, *kind);
    const platform::Handle previous = slot;
    if (const auto old = objects_.find(previous); old != objects_.end()) --old->second.selections;
    if (const auto now = objects_.find(object); now != objects_.end()) ++now->second.selections;
    slot = object;
    return previous;
}

bool SimDesktop::FillRect(platform::Handle dc, const platform::Rect& rect, platform::Handle brush) {
    std::lock_guard lock(mutex_);
    SimBitmap* target = Target(dc);
    const Object* fill = Find(brush, Kind::Brush);
    if (target == nullptr || fill == nullptr) return false;
    Fill(*target, rect, fill->color);
    return true;
}

bool SimDesktop::MoveToEx(platform::Handle dc, std::int32_t x, std::int32_t y) {
    std::lock_guard lock(mutex_);
    const auto found = dcs_.find(dc);
    if (found == dcs_.end()) return false;
    found->second.position = {x, y};
    return true;
}

bool SimDesktop::LineTo(platform::Handle dc, std::int32_t x, std::int32_t y) {
    std::lock_guard lock(mutex_);
    const auto found = dcs_.find(dc);
    SimBitmap* target = Target(dc);
    if (found == dcs_.end() || target == nullptr) return false;
    const Object* pen = Find(found->second.pen, Kind::Pen);
    const platform::ColorRef color = pen != nullptr ? pen->color : 0;
    // Bresenham, the end point left out.
    platform::Point at = found->second.position;
    const std::int32_t dx = std::abs(x - at.x), sx = at.x < x ? 1 : -1;
    const std::int32_t dy = -std::abs(y - at.y), sy = at.y < y ? 1 : -1;
    std::int32_t error = dx + dy;
    while (at.x != x || at.y != y) {
        Plot(*target, at.x, at.y, color);
        const std::int32_t twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            at.x += sx;
        }
        if (twice <= dx) {
            error += dx;
            at.y += sy;
        }
    }
    found->second.position = {x, y};
    return true;
}

bool SimDesktop::BitBlt(platform::Handle dc, std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height, platform::Handle source, std::int32_t sourceX,
                        std::int32_t sourceY) {
    std::lock_guard lock(mutex_);
    SimBitmap* target = Target(dc);
    const SimBitmap* from = Target(source);
    if (target == nullptr || from == nullptr) return false;
    const SimBitmap copy = *from;
    for (std::int32_t row = 0; row < height; ++row) {
        for (std::int32_t column = 0; column < width; ++column) {
            const std::int32_t fromX = sourceX + column, fromY = sourceY + row;
            if (fromX < 0 || fromY < 0 || fromX >= copy.width || fromY >= copy.height) continue;
            Plot(*target, x + column, y + row, copy.At(fromX, fromY));
        }
    }
    return true;
}

platform::ColorRef SimDesktop::SetTextColor(platform::Handle dc, platform::ColorRef color) {
    std::lock_guard lock(mutex_);
    const auto found = dcs_.find(dc);
    if (found == dcs_.end()) return 0xFFFFFFFF;  // CLR_INVALID
    return std::exchange(found->second.textColor, color);
}

platform::ColorRef SimDesktop::SetBkColor(platform::Handle dc, platform::ColorRef color) {
    std::lock_guard lock(mutex_);
    const auto found = dcs_.find(dc);
    if (found == dcs_.end()) return 0xFFFFFFFF;
    return std::exchange(found->second.bkColor, color);
}

std::int32_t SimDesktop::SetBkMode(platform::Handle dc, std::int32_t mode) {
    std::lock_guard lock(mutex_);
    const auto found = dcs_.find(dc);
    if (found == dcs_.end()) return 0;
    return std::exchange(found->second.bkMode, mode);
}

bool SimDesktop::GetTextExtentPoint32W(platform::Handle dc, const std::string& text,
                                       platform::Size& size) {
    std::lock_guard lock(mutex_);
    const auto found = dcs_.find(dc);
    if (found == dcs_.end()) return false;
    size = TextSize(found->second, text);
    return true;
}

bool SimDesktop::TextOutW(platform::Handle dc, std::int32_t x, std::int32_t y,
                          const std::string& text) {
    std::lock_guard lock(mutex_);
    const auto found = dcs_.find(dc);
    SimBitmap* target = Target(dc);
    if (found == dcs_.end() || target == nullptr) return false;
    const Dc& state = found->second;
    const Object* font = Find(state.font, Kind::Font);
    const platform::FontRequest request = font != nullptr ? font->font : platform::FontRequest{};
    const platform::Size size = TextSize(state, text);
    if (state.bkMode == platform::kOpaqueBk) {
        Fill(*target, {x, y, x + size.cx, y + size.cy}, state.bkColor);
    }
    const platform::Size cell = CharacterCell(request);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::int32_t column = x + static_cast<std::int32_t>(i) * cell.cx + cell.cx / 2;
        for (std::int32_t row = y + 1; row < y + cell.cy - 1; ++row) {
            Plot(*target, column, row, state.textColor);
        }
    }
    textOuts_.push_back({text, x, y, request, state.textColor, state.bkColor, state.bkMode});
    return true;
}

platform::ColorRef SimDesktop::GetSysColor(std::int32_t index) {
    std::lock_guard lock(mutex_);
    const auto found = sysColors_.find(index);
    return found != sysColors_.end() ? found->second : 0x808080;
}

platform::Handle SimDesktop::CreateIconFromBitmap(platform::Handle bitmap) {
    std::lock_guard lock(mutex_);
    const Object* from = Find(bitmap, Kind::Bitmap);
    if (from == nullptr) return 0;
    Object icon = Made(Kind::Icon);
    icon.icon.image = from->bitmap;
    for (const platform::ColorRef pixel : from->bitmap.pixels) {
        icon.icon.transparent.push_back(pixel == kWhite);
    }
    return AddObject(std::move(icon));
}

platform::Handle SimDesktop::LoadIconResource(const std::string& name) {
    std::lock_guard lock(mutex_);
    if (std::find(iconResources_.begin(), iconResources_.end(), name) == iconResources_.end()) {
        return 0;
    }
    Object icon = Made(Kind::Icon);
    icon.icon.image = {16, 16, std::vector<platform::ColorRef>(256, 0x800000)};
    icon.icon.transparent.assign(256, false);
    icon.icon.resource = name;
    return AddObject(std::move(icon));
}

bool SimDesktop::DestroyIcon(platform::Handle icon) {
    std::lock_guard lock(mutex_);
    return Release(icon, Kind::Icon);
}

}  // namespace kxp::sim
