#include "lang/LanguageHandlerUnit.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "lang/LanguageFile.h"

namespace kxp::lang {

namespace {

constexpr const char* kLanguageFolder = "languages\\";
constexpr const char* kExtension = ".klf";
constexpr const char* kEnglishFile = "English.klf";
constexpr const char* kEnglish = "English";
constexpr const char* kAutomatic = "Automatic";

constexpr const char* kErrorCaption = "Vostrel Error information";
constexpr const char* kEnglishMissingBefore = "Critical Error - File ";
constexpr const char* kEnglishMissingAfter = "Languages\\English.klf not found !";
constexpr const char* kLanguageMissing = "Language file not found!";
constexpr const char* kDetectionFailed =
    "Couldn't open the language setting file --> Language: English";
constexpr const char* kDetectionCaption = "File missing?";

// The longest file name a volume takes, extension included.
constexpr std::size_t kLongestFileName = 255;

std::u16string LanguageTag(std::uint16_t languageId) {
    char tag[8];
    std::snprintf(tag, sizeof tag, "$%04x", languageId);
    return std::u16string(tag, tag + 5);
}

}  // namespace

bool IsSafeLanguageName(const std::string& name) {
    if (name.empty() ||
        name.size() + std::char_traits<char>::length(kExtension) > kLongestFileName) {
        return false;
    }
    if (name.find("..") != std::string::npos) return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '/' || c == ':' || byte < 0x20) return false;
    }
    return true;
}

std::string ExecutableDirectory(const std::string& modulePath) {
    const auto separator = modulePath.rfind('\\');
    return separator == std::string::npos ? std::string() : modulePath.substr(0, separator + 1);
}

LanguageHandler::LanguageHandler(platform::Files& files, std::string executableDirectory,
                                 CaptionList& captions, ShowBox showBox, EndProcess endProcess)
    : files_(files),
      directory_(std::move(executableDirectory)),
      captions_(captions),
      showBox_(std::move(showBox)),
      endProcess_(std::move(endProcess)) {}

LanguageHandler LanguageHandler::ForService(platform::Platform& platform, EndProcess endProcess) {
    return LanguageHandler(platform.files, ExecutableDirectory(platform.process.ModuleFileName()),
                           ProcessCaptions(), SystemMessageBox(platform.windows),
                           std::move(endProcess));
}

LanguageHandler::ShowBox LanguageHandler::SystemMessageBox(platform::Windows& windows) {
    return [&windows](const std::string& text, const std::string& caption) {
        windows.ShowMessage(text, caption, platform::kMbOk);
    };
}

std::string LanguageHandler::SelectLanguage(const std::string& requested) {
    if (!files_.FileExists(directory_ + kLanguageFolder + kEnglishFile)) {
        showBox_(kEnglishMissingBefore + directory_ + kEnglishMissingAfter, kErrorCaption);
        endProcess_();
        return {};
    }
    const std::string selected =
        !requested.empty() && requested != kAutomatic ? requested : DetectLanguage();
    if (!LoadLanguage(selected)) {
        showBox_(kLanguageMissing, kErrorCaption);
        return {};
    }
    return selected;
}

std::string LanguageHandler::DetectLanguage() {
    const std::u16string tag = LanguageTag(files_.GetUserDefaultLangID());
    bool failed = false;
    bool anyRead = false;
    std::string detected;
    for (const std::string& fileName :
         files_.FindFiles(directory_ + kLanguageFolder + "*" + kExtension)) {
        LanguageLines lines;
        if (!ReadLanguageFile(fileName, lines)) {
            failed = true;
            continue;
        }
        anyRead = true;
        if (lines.Caption(0).find(tag) != std::u16string_view::npos) {
            detected = fileName.substr(0, fileName.rfind('.'));
            break;
        }
    }
    // One box for the whole walk, however many files failed.
    if (failed || !anyRead) showBox_(kDetectionFailed, kDetectionCaption);
    return detected.empty() ? kEnglish : detected;
}

bool LanguageHandler::LoadLanguage(const std::string& name) {
    if (!IsSafeLanguageName(name)) return false;
    LanguageLines lines;
    if (!ReadLanguageFile(name + kExtension, lines)) return false;
    captions_.Replace(std::move(lines));
    return true;
}

bool LanguageHandler::ReadLanguageFile(const std::string& fileName, LanguageLines& lines) {
    std::vector<std::uint8_t> bytes;
    if (!files_.ReadWholeFile(directory_ + kLanguageFolder + fileName, kLongestLanguageFile,
                              bytes)) {
        return false;
    }
    lines = DecodeLanguageFile(bytes,
                               [this](const std::string& text) { return files_.AnsiToWide(text); });
    return true;
}

std::u16string LanguageHandler::LookupCaption(std::int64_t number) const {
    return captions_.LookupCaption(number);
}

std::string LanguageHandler::Translate(std::int64_t number, const std::string& fallback) const {
    std::string caption = files_.WideToAnsi(LookupCaption(number));
    return caption.empty() ? fallback : caption;
}

std::u16string LanguageHandler::Translate(std::int64_t number,
                                          const std::u16string& fallback) const {
    std::u16string caption = LookupCaption(number);
    return caption.empty() ? fallback : caption;
}

}  // namespace kxp::lang
