#include "service/ProgramEntry.h"

#include <algorithm>
#include <cctype>

#include "platform/RegistryKey.h"
#include "platform/Trace.h"
#include "service/ServiceTexts.h"
#include "service/TKorvanelXPService.h"

namespace kxp {
namespace {

// Turns the trace sink on for the program's life when the service key's "DebugTrace" is non-zero.
class TraceSwitch {
  public:
    explicit TraceSwitch(platform::Platform& platform) {
        if (!Enabled(platform.registry)) {
            SetTraceSink({});
            return;
        }
        SetTraceSink([&process = platform.process](const std::string& message) {
            process.OutputDebugStringA(texts::kDebugPrefix + message);
        });
    }
    TraceSwitch(const TraceSwitch&) = delete;
    TraceSwitch& operator=(const TraceSwitch&) = delete;
    ~TraceSwitch() { SetTraceSink({}); }

  private:
    static bool Enabled(platform::Registry& registry) {
        const auto key = RegistryKey::OpenRead(registry, platform::RegistryRoot::LocalMachine,
                                               texts::kServiceKey);
        try {
            return key.ValueExists(texts::kDebugTraceValue) &&
                   key.ReadInteger(texts::kDebugTraceValue) != 0;
        } catch (const RegistryError&) {
            return false;
        }
    }
};

struct Switches {
    bool install = false;
    bool uninstall = false;
    bool silent = false;
};

// "INSTALL", "/install", "-Install"... all give "INSTALL".
std::string SwitchName(const std::string& arg) {
    std::string name = arg;
    if (!name.empty() && (name.front() == '/' || name.front() == '-')) name.erase(0, 1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name;
}

Switches ParseSwitches(const std::vector<std::string>& args) {
    Switches switches;
    for (const auto& arg : args) {
        const std::string name = SwitchName(arg);
        if (name == "INSTALL") switches.install = true;
        if (name == "UNINSTALL") switches.uninstall = true;
        if (name == "SILENT") switches.silent = true;
    }
    return switches;
}

platform::ServiceDeclaration Declaration() {
    return platform::ServiceDeclaration{texts::kServiceName, texts::kDisplayName, true};
}

// Shows the outcome unless silent; returns the exit code (the system error code on failure).
int Outcome(platform::Platform& platform, std::uint32_t error, const char* success, bool silent) {
    if (!silent) {
        if (error == 0) {
            platform.windows.ShowMessage(success, texts::kServiceName,
                                         platform::kMbOk | platform::kMbIconInformation);
        } else {
            platform.windows.ShowMessage(platform.services.ErrorText(error), texts::kServiceName,
                                         platform::kMbOk | platform::kMbIconError);
        }
    }
    return static_cast<int>(error);
}

int Install(platform::Platform& platform, TKorvanelXPService& service, bool silent) {
    // Quoted, so that a path with spaces cannot be taken for a shorter program plus arguments.
    std::string binaryPath = platform.process.ModuleFileName();
    binaryPath.insert(binaryPath.begin(), '"');
    binaryPath.push_back('"');
    const std::uint32_t error = platform.services.InstallService(Declaration(), binaryPath);
    if (error == 0) service.ServiceAfterInstall();
    return Outcome(platform, error, texts::kInstalled, silent);
}

int Uninstall(platform::Platform& platform, bool silent) {
    const std::uint32_t error = platform.services.UninstallService(texts::kServiceName);
    return Outcome(platform, error, texts::kUninstalled, silent);
}

}  // namespace

int RunServiceProgram(platform::Platform& platform, const std::vector<std::string>& args) {
    const TraceSwitch traces(platform);
    const Switches switches = ParseSwitches(args);

    Trace("Createform");
    TKorvanelXPService service(platform);
    Trace("run");
    int exitCode = 0;
    if (switches.install) exitCode = Install(platform, service, switches.silent);
    if (switches.uninstall && exitCode == 0) exitCode = Uninstall(platform, switches.silent);
    if (!switches.install && !switches.uninstall &&
        !platform.services.RunServiceApplication(Declaration(), service)) {
        exitCode = 1;
    }
    Trace("after run");
    // The installer's outcome box, where this process shows it itself, outlives the process.
    platform.windows.WaitForShownMessages(platform::kInfinite);
    return exitCode;
}

}  // namespace kxp
