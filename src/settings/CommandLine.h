// The settings program's command line.
#pragma once

#include <span>
#include <string>

namespace kxp::settings {

enum class SettingsCommand {
    Window,    // no argument: the settings window
    Recover,   // "/recover": ask for a RAM recovery and wait until it is done
    Quit,      // "/quit": ask the service to end
    Reload,    // "/reload": ask the service to read both option sets again
    Elevated,  // "/elevated": the window again, after the one that asked for elevation has gone
    Usage,     // anything else: say what the program takes
};

// The arguments after the program name; "-" is taken for "/" and letter case does not matter.
SettingsCommand ParseCommandLine(std::span<const std::wstring> arguments);

// The text shown for SettingsCommand::Usage.
inline constexpr const wchar_t* kUsageText =
    L"KorvanelXPSettings [/recover | /quit | /reload]\n\n"
    L"Without an argument the settings window opens.\n"
    L"/recover\trecovers RAM now and waits until it is done (exit code 0, or 1 when it failed)\n"
    L"/quit\tends the KorvanelXP service\n"
    L"/reload\tmakes the service read all options again";

}  // namespace kxp::settings
