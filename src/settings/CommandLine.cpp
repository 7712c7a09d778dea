#include "settings/CommandLine.h"

#include <algorithm>
#include <cwctype>
#include <utility>

namespace kxp::settings {

SettingsCommand ParseCommandLine(std::span<const std::wstring> arguments) {
    if (arguments.empty()) return SettingsCommand::Window;
    const std::wstring& argument = arguments.front();
    if (arguments.size() > 1 || argument.size() < 2 ||
        (argument.front() != L'/' && argument.front() != L'-')) {
        return SettingsCommand::Usage;
    }
    std::wstring name = argument.substr(1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    static constexpr std::pair<const wchar_t*, SettingsCommand> kCommands[] = {
        {L"recover", SettingsCommand::Recover},
        {L"quit", SettingsCommand::Quit},
        {L"reload", SettingsCommand::Reload},
        {L"elevated", SettingsCommand::Elevated},
    };
    for (const auto& [text, command] : kCommands) {
        if (name == text) return command;
    }
    return SettingsCommand::Usage;
}

}  // namespace kxp::settings
