#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/CommandLine.h"

namespace kxp::settings {
namespace {

struct CommandCase {
    std::vector<std::wstring> arguments;
    SettingsCommand command;
};

class CommandLineTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandLineTest, ArgumentsChooseTheCommand) {
    EXPECT_EQ(ParseCommandLine(GetParam().arguments), GetParam().command);
}

INSTANTIATE_TEST_SUITE_P(Arguments, CommandLineTest,
                         ::testing::Values(CommandCase{{}, SettingsCommand::Window},
                                           CommandCase{{L"/recover"}, SettingsCommand::Recover},
                                           CommandCase{{L"-RECOVER"}, SettingsCommand::Recover},
                                           CommandCase{{L"/Quit"}, SettingsCommand::Quit},
                                           CommandCase{{L"/reload"}, SettingsCommand::Reload},
                                           CommandCase{{L"/elevated"}, SettingsCommand::Elevated},
                                           CommandCase{{L"recover"}, SettingsCommand::Usage},
                                           CommandCase{{L"/"}, SettingsCommand::Usage},
                                           CommandCase{{L""}, SettingsCommand::Usage},
                                           CommandCase{{L"/recoverx"}, SettingsCommand::Usage},
                                           CommandCase{{L"/quit", L"/reload"},
                                                       SettingsCommand::Usage},
                                           CommandCase{{L"/?"}, SettingsCommand::Usage}));

}  // namespace
}  // namespace kxp::settings
