// ReadUserOptions: both icons' options and the user-wide ones from the logged-on user's hive,
// applied at once; the language and the menu captions it gives.
#include <exception>
#include <string>

#include "config/UserOptionDefinitions.h"
#include "lang/LanguageHandlerUnit.h"
#include "platform/RegistryKey.h"
#include "platform/Trace.h"
#include "service/ServiceTexts.h"
#include "service/TKorvanelXPService.h"

namespace kxp {
namespace {

// The end of every read that got under way, also after an error: nothing is drawn while a read
// runs, and the file cache is looked at in the next pass.
class EndOfRead {
  public:
    EndOfRead(std::atomic<bool>& reading, std::atomic<bool>& busy, std::atomic<std::int32_t>& cache)
        : reading_(reading), busy_(busy), cache_(cache) {}
    EndOfRead(const EndOfRead&) = delete;
    EndOfRead& operator=(const EndOfRead&) = delete;
    ~EndOfRead() {
        busy_ = false;
        cache_ = 999;
        reading_ = false;
    }

  private:
    std::atomic<bool>& reading_;
    std::atomic<bool>& busy_;
    std::atomic<std::int32_t>& cache_;
};

}  // namespace

void TKorvanelXPService::ReadUserOptions() {
    if (RestoreInProgress) return;
    bool idle = false;
    if (!userOptionsReading_.compare_exchange_strong(idle, true)) {
        // A read runs on the other thread; the loop reads again once it is done, so that
        // nothing this caller changed is missed.
        ReadUserOptionsRequested = true;
        return;
    }
    const EndOfRead end(userOptionsReading_, UserOptionsBusy, CacheCounter);
    UserOptionsBusy = true;

    // Every value back to its default, except NoSecondTray, which only a stored value changes.
    TConfig config1 = Config(1);
    TConfig config2 = Config(2);
    SetUserDefaults(config1, 1);
    SetUserDefaults(config2, 2);
    FirstRun = true;
    std::int32_t version = kUserOptionsVersion;
    const auto publish = [this, &config1, &config2] {
        ApplyForeColor(config1);
        ApplyForeColor(config2);
        PublishConfig(1, config1);
        PublishConfig(2, config2);
        Autohide = config1.Autohide;
        ForceRedraw();
    };
    try {
        ReadIconPass(1, config1, version);
        platform_.process.SetPriorityClass(config1.Realtime ? platform::kHighPriorityClass
                                                            : platform::kNormalPriorityClass);
        // The hot keys are built from the published record.
        ApplyForeColor(config1);
        PublishConfig(1, config1);
        BuildHotkeys();
        ApplyUserLanguage(config1);
        ReadIconPass(2, config2, version);
    } catch (const RegistryError&) {
        // What was read before the bad value counts; the rest keeps its defaults.
        publish();
        throw;
    }
    publish();
}

void TKorvanelXPService::ReadUserOptionsOrTrace() {
    try {
        ReadUserOptions();
    } catch (const RegistryError& error) {
        Trace(std::string("###### ReadUserOptions error: ") + error.what());
    }
}

void TKorvanelXPService::ReadIconPass(int icon, TConfig& config, std::int32_t& version) {
    if (icon == 2) Trace("****** Tray Icon 2 ****** ");
    const std::string path =
        session_.Read([](const TSessionRecord& session) { return session.UserKeyPath; });
    // Without a user there is no key: an empty path would open HKEY_USERS itself.
    const auto key = path.empty() ? RegistryKey()
                                  : RegistryKey::OpenRead(platform_.registry,
                                                          platform::RegistryRoot::Users, path);
    if (!key.IsOpen()) {
        Trace(icon == 1 ? "ReadUserOptions key1 error" : "ReadUserOptions key2 error");
        return;
    }
    if (icon == 1) FirstRun = false;
    ReadUserOptionPass(key, icon, config, version, [this](bool hidden) {
        if (!IconsCreated) return;
        SetTrayIconVisible(2, !hidden);
        Trace(hidden ? "icon 2 hidden" : "icon 2 shown");
    });
}

void TKorvanelXPService::ApplyUserLanguage(TConfig& config1) {
    // As the user, so that the files are read with the user's rights.
    const bool impersonated = ImpersonateShellUser(false);
    struct Revert {
        TKorvanelXPService& service;
        bool active;
        ~Revert() {
            if (active) service.EndImpersonation(false);
        }
    } revert{*this, impersonated};
    auto loader = lang::LanguageHandler::ForService(
        platform_, [this] { EndWithCriticalError(texts::kExitEnglishLanguageMissing); });
    config1.Language = loader.SelectLanguage(config1.Language);
    Trace("language: " + config1.Language);
    PublishConfig(1, config1);
    menuCaptions_.Set(TranslateMenuCaptions(menuCaptions_.Get(), [&loader](std::int64_t number) {
        return loader.LookupCaption(number);
    }));
}

}  // namespace kxp
