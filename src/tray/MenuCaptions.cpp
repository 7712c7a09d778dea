#include "tray/MenuCaptions.h"

#include <algorithm>
#include <array>

namespace kxp {
namespace {

enum class Rule {
    Plain,     // the string, else the item's caption
    Interval,  // the figure, a blank and the string, with no fallback
    Core3,     // as Plain, then every "2" becomes "3"
    Core4,     // as Plain, then every "2" becomes "4"
};

// One item of both menus: its name after "mi" or "mi2", its string number and English caption.
struct Entry {
    std::string name;
    std::int64_t number;
    std::u16string english;
    Rule rule = Rule::Plain;
    std::u16string figure = {};  // the interval items' seconds
};

struct Text {
    const char* name;
    std::int64_t number;
    const char16_t* english;
    Rule rule = Rule::Plain;
};

constexpr std::int64_t kSeconds = 33;
constexpr std::int64_t kMegabyte = 51;
constexpr std::int64_t kFree = 52;
constexpr std::int64_t kPageFile = 55;
constexpr const char16_t* kMegabyteEnglish = u"MB";
constexpr const char16_t* kFreeEnglish = u"free";
constexpr const char16_t* kPageFileEnglish = u"paging file in use";

constexpr std::array<Text, 13> kMetrics{{
    {"RamFree", 37, u"RAM Free"},
    {"RamUsage", 53, u"RAM Usage"},
    {"CpuIdleAll", 38, u"CPU Idle Time - All"},
    {"CpuUsageAll", 39, u"CPU Usage - All"},
    {"CpuIdleCore1", 56, u"CPU Idle Time - Core 1"},
    {"CpuUsageCore1", 57, u"CPU Usage - Core 1"},
    {"CpuIdleCore2", 58, u"CPU Idle Time - Core 2"},
    {"CpuUsageCore2", 59, u"CPU Usage - Core 2"},
    {"CpuIdleCore3", 58, u"CPU Idle Time - Core 3", Rule::Core3},
    {"CpuUsageCore3", 59, u"CPU Usage - Core 3", Rule::Core3},
    {"CpuIdleCore4", 58, u"CPU Idle Time - Core 4", Rule::Core4},
    {"CpuUsageCore4", 59, u"CPU Usage - Core 4", Rule::Core4},
    {"PF", 54, u"Paging File Usage"},
}};

constexpr std::array<Text, 3> kKinds{{
    {"D_Numeric", 41, u"Numeric"},
    {"D_Graph", 42, u"Graph"},
    {"D_Block", 43, u"Block"},
}};

constexpr std::array<const char16_t*, 5> kIntervals{u"1", u"3", u"5", u"10", u"60"};

std::vector<Entry> MenuEntries() {
    std::vector<Entry> entries{
        {"Exit", 30, u"Exit"},
        {"LoadWin", 31, u"Load on Windows startup"},
        {"UpdateInterval", 32, u"Update interval"},
    };
    for (const char16_t* seconds : kIntervals) {
        const std::u16string figure = seconds;
        const std::string digits(figure.begin(), figure.end());
        entries.push_back({"UpdateInterval" + digits + "sec", kSeconds, figure + u" sec",
                           Rule::Interval, figure});
    }
    entries.push_back({"Display", 35, u"Display"});
    entries.push_back({"D_Icon", 36, u"KorvanelXP Icon"});
    for (const Text& kind : kKinds) {
        entries.push_back({kind.name, kind.number, kind.english});
        for (const Text& metric : kMetrics) {
            entries.push_back({std::string(kind.name) + "_" + metric.name, metric.number,
                               metric.english, metric.rule});
        }
    }
    entries.push_back({"AutoRecovery", 79, u"Auto-Recovery"});
    entries.push_back({"RecoverRam", 44, u"Recover RAM"});
    entries.push_back({"Settings", 45, u"Settings..."});
    return entries;
}

const std::vector<Entry>& Entries() {
    static const std::vector<Entry> entries = MenuEntries();
    return entries;
}

std::u16string Translated(const Entry& entry, const std::u16string& own,
                          const CaptionLookup& lookup) {
    std::u16string text = lookup(entry.number);
    if (entry.rule == Rule::Interval) return entry.figure + u" " + text;
    if (text.empty()) text = own;
    if (entry.rule == Rule::Core3) std::replace(text.begin(), text.end(), u'2', u'3');
    if (entry.rule == Rule::Core4) std::replace(text.begin(), text.end(), u'2', u'4');
    return text;
}

}  // namespace

std::u16string TMenuCaptions::Caption(std::string_view name) const {
    for (const auto* menu : {&Menu1, &Menu2}) {
        const auto found = std::find_if(menu->begin(), menu->end(),
                                        [name](const auto& item) { return item.Name == name; });
        if (found != menu->end()) return found->Caption;
    }
    return {};
}

TMenuCaptions DefaultMenuCaptions() {
    TMenuCaptions captions;
    for (const Entry& entry : Entries()) {
        captions.Menu1.push_back({"mi" + entry.name, entry.english});
        captions.Menu2.push_back({"mi2" + entry.name, entry.english});
    }
    captions.MegabyteHint = kMegabyteEnglish;
    captions.FreeHint = std::u16string(u" ") + kMegabyteEnglish + u" " + kFreeEnglish;
    captions.PageFileHint = kPageFileEnglish;
    return captions;
}

TMenuCaptions TranslateMenuCaptions(const TMenuCaptions& current, const CaptionLookup& lookup) {
    TMenuCaptions captions;
    for (const Entry& entry : Entries()) {
        const std::string name1 = "mi" + entry.name;
        const std::string name2 = "mi2" + entry.name;
        captions.Menu1.push_back({name1, Translated(entry, current.Caption(name1), lookup)});
        captions.Menu2.push_back({name2, Translated(entry, current.Caption(name2), lookup)});
    }
    // The hint words have no fallback: a file without them leaves them empty.
    const std::u16string megabyte = lookup(kMegabyte);
    captions.MegabyteHint = megabyte;
    captions.FreeHint = u" " + megabyte + u" " + lookup(kFree);
    captions.PageFileHint = lookup(kPageFile);
    return captions;
}

}  // namespace kxp
