#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <variant>

#include "StoredValues.h"
#include "config/MachineOptionDefinitions.h"
#include "config/MachineOptions.h"
#include "platform/sim/SimMachine.h"

namespace kxp {
namespace {

using test::kOptionsKey;

using platform::RegistryRoot;

// The held figure of a field as a number (a string field as its length).
std::int64_t Held(const TMachineOptions& options, const MachineOptionField& field) {
    return std::visit(
        [&](auto member) -> std::int64_t {
            const auto& value = options.*member;
            if constexpr (std::is_same_v<std::remove_cvref_t<decltype(value)>, std::string>) {
                return static_cast<std::int64_t>(value.size());
            } else {
                return static_cast<std::int64_t>(value);
            }
        },
        field);
}

class EachMachineOption : public ::testing::TestWithParam<std::size_t> {
  protected:
    const MachineOptionDefinition& Option() const { return MachineOptionDefinitions()[GetParam()]; }
    sim::SimMachine sim;
};

TEST_P(EachMachineOption, AFreshRecordHoldsTheTableDefault) {
    const MachineOptionDefinition& option = Option();
    const std::int64_t expected = option.defaultHeldUnscaled
                                      ? option.storedDefault
                                      : ScaledMachineValue(option, option.storedDefault);
    EXPECT_EQ(Held(TMachineOptions{}, option.field), expected);
    EXPECT_EQ(FindMachineOption(option.name), &option);
}

TEST_P(EachMachineOption, AStoredValueIsHeldWithTheTableScale) {
    const MachineOptionDefinition& option = Option();
    if (option.type == MachineOptionType::String) {
        sim.SetString(RegistryRoot::LocalMachine, kOptionsKey, option.name, "C:\\A\\Lite.exe");
    } else {
        sim.SetDword(RegistryRoot::LocalMachine, kOptionsKey, option.name, 7);
    }
    TMachineOptions options;
    ReadMachineOptionValues(sim.platform().registry, options);
    const std::int64_t expected =
        option.type == MachineOptionType::String
            ? std::string("lite.exe").size()
            : (option.type == MachineOptionType::Boolean ? 1 : 7 * MachineOptionUnit(option.scale));
    EXPECT_EQ(Held(options, option.field), expected);
}

TEST(MachineDefaults, SetEveryOptionButTheStartModeBack) {
    TMachineOptions options;
    options.Threshold = -7;
    options.Shell = "old.exe";
    options.ShellInUse = true;
    options.CacheMax = 1;
    options.LoadOnWindowsStartup = true;
    SetMachineDefaults(options);
    TMachineOptions expected;
    expected.LoadOnWindowsStartup = true;
    EXPECT_EQ(options, expected);
}

INSTANTIATE_TEST_SUITE_P(Table, EachMachineOption,
                         ::testing::Range(std::size_t{0}, MachineOptionDefinitions().size()),
                         [](const auto& info) {
                             return std::string(MachineOptionDefinitions()[info.param].name);
                         });

}  // namespace
}  // namespace kxp
