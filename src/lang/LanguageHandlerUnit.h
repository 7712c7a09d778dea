// The language loader: chooses a language file from "languages\" beside the executable, loads it
// into a caption list and hands out captions by number.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "lang/CaptionList.h"
#include "platform/Platform.h"

namespace kxp::lang {

class LanguageHandler {
  public:
    // Shows a message box with one OK button.
    using ShowBox = std::function<void(const std::string& text, const std::string& caption)>;
    // Ends the process; should it return, the caller carries on without a language.
    using EndProcess = std::function<void()>;

    // executableDirectory ends with its path separator.
    LanguageHandler(platform::Files& files, std::string executableDirectory, CaptionList& captions,
                    ShowBox showBox, EndProcess endProcess);

    // The service's loader: the process-wide list, the running executable's folder and the
    // system's message boxes; endProcess is the service's own end after a critical error.
    static LanguageHandler ForService(platform::Platform& platform, EndProcess endProcess);
    // The one place the loader's boxes reach the platform.
    static ShowBox SystemMessageBox(platform::Windows& windows);

    // Checks the English file, chooses a language and loads it; the name loaded, or empty.
    std::string SelectLanguage(const std::string& requested);
    // The language whose file lists the user's default language identifier, else "English".
    std::string DetectLanguage();
    // Loads "languages\" + name + ".klf"; false, with the list as it was, when that fails. A name
    // that would lead out of the folder counts as a missing file.
    bool LoadLanguage(const std::string& name);

    std::u16string LookupCaption(std::int64_t number) const;
    // The caption in the system code page, or the fallback when that is empty.
    std::string Translate(std::int64_t number, const std::string& fallback) const;
    // The caption as it is in the file, or the fallback when there is none.
    std::u16string Translate(std::int64_t number, const std::u16string& fallback) const;

  private:
    bool ReadLanguageFile(const std::string& fileName, LanguageLines& lines);

    platform::Files& files_;
    std::string directory_;
    CaptionList& captions_;
    ShowBox showBox_;
    EndProcess endProcess_;
};

// A name that stays a plain file name inside the languages folder.
bool IsSafeLanguageName(const std::string& name);

// The folder of a full executable path, with its trailing separator; empty without one.
std::string ExecutableDirectory(const std::string& modulePath);

}  // namespace kxp::lang
