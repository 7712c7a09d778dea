// The simulated desktop's fixture side, its locale, mouse and notification area.
#include <cctype>

#include "platform/sim/SimDesktop.h"

namespace kxp::sim {

std::optional<SimBitmap> SimDesktop::Bitmap(platform::Handle bitmap) const {
    std::lock_guard lock(mutex_);
    const auto found = objects_.find(bitmap);
    if (found == objects_.end() || found->second.kind != Kind::Bitmap) return std::nullopt;
    return found->second.bitmap;
}

std::optional<SimIcon> SimDesktop::Icon(platform::Handle icon) const {
    std::lock_guard lock(mutex_);
    const auto found = objects_.find(icon);
    if (found == objects_.end() || found->second.kind != Kind::Icon) return std::nullopt;
    return found->second.icon;
}

std::vector<SimTextOut> SimDesktop::TextOuts() const {
    std::lock_guard lock(mutex_);
    return textOuts_;
}

std::vector<platform::FontRequest> SimDesktop::FontsCreated() const {
    std::lock_guard lock(mutex_);
    return fontsCreated_;
}

int SimDesktop::LiveObjectCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(objects_.size() + dcs_.size());
}

int SimDesktop::BadReleaseCount() const {
    std::lock_guard lock(mutex_);
    return badReleases_;
}

void SimDesktop::SetSysColor(std::int32_t index, platform::ColorRef color) {
    std::lock_guard lock(mutex_);
    sysColors_[index] = color;
}

void SimDesktop::AddIconResource(const std::string& name) {
    std::lock_guard lock(mutex_);
    iconResources_.push_back(name);
}

void SimDesktop::SetNumberSeparators(const std::string& decimal, const std::string& thousands) {
    std::lock_guard lock(mutex_);
    decimalSeparator_ = decimal;
    thousandsSeparator_ = thousands;
}

void SimDesktop::SetDoubleClickTime(std::uint32_t milliseconds) {
    std::lock_guard lock(mutex_);
    doubleClickTime_ = milliseconds;
}

void SimDesktop::SetCursorPos(platform::Point point) {
    std::lock_guard lock(mutex_);
    cursor_ = point;
}

std::vector<SimShellCall> SimDesktop::ShellCalls() const {
    std::lock_guard lock(mutex_);
    return shellCalls_;
}

bool SimDesktop::GetNumberFormatW(const std::string& value, std::uint32_t decimals,
                                  std::string& formatted) {
    const std::size_t point = value.find('.');
    const std::string whole = value.substr(0, point);
    std::string fraction = point == std::string::npos ? "" : value.substr(point + 1);
    const auto digits = [](const std::string& text) {
        for (const char c : text) {
            if (std::isdigit(static_cast<unsigned char>(c)) == 0) return false;
        }
        return true;
    };
    if (whole.empty() || !digits(whole) || !digits(fraction)) return false;
    // Windows rounds longer fractions; the callers here never pass one, so neither does this.
    if (fraction.size() > decimals) return false;
    fraction.resize(decimals, '0');
    std::lock_guard lock(mutex_);
    std::string grouped;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i != 0 && (whole.size() - i) % 3 == 0) grouped += thousandsSeparator_;
        grouped += whole[i];
    }
    formatted = decimals == 0 ? grouped : grouped + decimalSeparator_ + fraction;
    return true;
}

std::uint32_t SimDesktop::GetDoubleClickTime() {
    std::lock_guard lock(mutex_);
    return doubleClickTime_;
}

bool SimDesktop::GetCursorPos(platform::Point& point) {
    std::lock_guard lock(mutex_);
    point = cursor_;
    return true;
}

bool SimDesktop::Shell_NotifyIconW(std::uint32_t message, const platform::NotifyIconData& data) {
    std::lock_guard lock(mutex_);
    shellCalls_.push_back({message, data});
    return true;
}

}  // namespace kxp::sim
