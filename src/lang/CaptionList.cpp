#include "lang/CaptionList.h"

#include <utility>

namespace kxp::lang {

void CaptionList::Replace(LanguageLines lines) {
    auto fresh = std::make_shared<const LanguageLines>(std::move(lines));
    {
        std::lock_guard lock(mutex_);
        lines_.swap(fresh);
    }
    // The old lines are freed here, outside the guard (or by the last lookup still reading them).
}

std::u16string CaptionList::LookupCaption(std::int64_t number) const {
    std::shared_ptr<const LanguageLines> lines;
    {
        std::lock_guard lock(mutex_);
        lines = lines_;
    }
    return lines ? std::u16string(lines->Caption(number)) : std::u16string();
}

CaptionList& ProcessCaptions() {
    static CaptionList captions;
    return captions;
}

}  // namespace kxp::lang
