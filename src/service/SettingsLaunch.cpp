// The settings program on the user's desktop: found when it is already open, else started as the
// logged-on user; and the clean-up of the old program's Run value.
#include <string>

#include "lang/LanguageHandlerUnit.h"
#include "platform/RegistryKey.h"
#include "platform/Trace.h"
#include "service/ServiceTexts.h"
#include "service/TKorvanelXPService.h"

namespace kxp {
namespace {

// The folder of the program a command line starts, with its trailing separator: the quoted part
// when the line begins with a quote, else the whole line.
std::string ProgramFolder(const std::string& commandLine) {
    std::string program = commandLine;
    if (program.starts_with('"')) program = program.substr(1, program.find('"', 1) - 1);
    return lang::ExecutableDirectory(program);
}

}  // namespace

void TKorvanelXPService::ShowSettings(bool atStart) {
    Trace("Showing settings");
    if (platform_.windows.FindWindowA(texts::kSettingsWindowClass, nullptr) != 0) {
        Trace("Window exists");
        if (!atStart) SendToSettings(kSettingsComeForward, 0);
        return;
    }
    const std::string folder = lang::ExecutableDirectory(platform_.process.ModuleFileName());
    const std::string program = folder + texts::kSettingsProgram;
    Trace("Launching KorvanelXPSettings: " + program);
    if (!platform_.files.FileExists(program)) {
        Trace("Error");
        platform_.windows.ShowMessage("Error: " + folder + texts::kSettingsProgram + " not found!",
                                      texts::kServiceName, platform::kMbOk);
    }
    // Quoted: unquoted, "C:\Program Files\..." would start "C:\Program.exe" where one exists.
    UserExecute('"' + program + '"');
    Trace("+Launching KorvanelXPSettings");
}

void TKorvanelXPService::UserExecute(const std::string& commandLine) {
    Trace("********UserExecute:" + commandLine);
    if (!ImpersonateShellUser(true)) return;
    const std::uint32_t priority =
        Config(1).Realtime ? platform::kRealtimePriorityClass : platform::kHighPriorityClass;
    auto& security = platform_.security;
    if (security.CreateProcessAsUserA(UserToken(), commandLine, priority,
                                      ProgramFolder(commandLine), texts::kInteractiveDesktop)) {
        Trace("settings process created");
    } else {
        Trace("settings Process not created: " + std::to_string(security.GetLastError()));
    }
    EndImpersonation(true);
}

void TKorvanelXPService::RemoveOldRunEntry() {
    Trace("Killing Korvanel startup");
    const std::string path =
        session_.Read([](const TSessionRecord& session) { return session.UserRunKeyPath; });
    // A key of its own rather than the shared option writer, which a menu on the main thread may
    // be writing with at this moment.
    auto key = path.empty() ? RegistryKey()
                            : RegistryKey::OpenWrite(platform_.registry,
                                                     platform::RegistryRoot::Users, path, false);
    if (!key.IsOpen()) {
        Trace("kill setting write error");
        return;
    }
    if (key.ValueExists(texts::kOldRunValue)) key.DeleteValue(texts::kOldRunValue);
    Trace("kill setting written");
}

void TKorvanelXPService::miSettingsClick() {
    ShowSettings(false);
}

}  // namespace kxp
