// The Memory and File cache pages on real dialogs made from their templates: what Take gives back
// for what the controls hold, the refusals with the box naming the field, and the read-only state.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "PageFixture.h"
#include "settings/win32/FileCachePageIds.h"
#include "settings/win32/MemoryPageIds.h"

namespace kxp::settings::test {
namespace {

MachineSettings Stored() {
    MachineSettings machine;
    machine.Recover = true;
    machine.Below = 20;
    machine.Pause = 5;
    machine.Postpone = true;
    machine.Threshold = 75;
    machine.NoCounters = true;
    machine.Cache = 1;
    machine.AdvCache = true;
    machine.CacheMin = 50;
    machine.CacheMax = 300;
    machine.Shell = "C:\\Shells\\Lite.exe";
    return machine;
}

struct TakeCase {
    const char* what;
    bool memoryPage;
    std::function<void(MachineSettings&)> stored;
    bool writable;
    std::function<void(PageFixture&)> edit;
    bool taken;
    std::function<void(MachineSettings&)> expected;  // over the stored values
    const wchar_t* box;                              // the box's text, empty for none
};

void PrintTo(const TakeCase& c, std::ostream* out) {
    *out << c.what;
}

class MachinePageTake : public ::testing::TestWithParam<TakeCase> {};

TEST_P(MachinePageTake, TakeGivesWhatTheControlsHoldOrRefusesNamingTheField) {
    const TakeCase& c = GetParam();
    PageFixture fixture(MakePage(c.memoryPage));
    ASSERT_NE(fixture.dialog(), nullptr);
    SettingsState state;
    state.machine = Stored();
    if (c.stored) c.stored(state.machine);
    state.machineWritable = c.writable;
    fixture.page().Show(fixture.dialog(), state);
    EXPECT_EQ(fixture.host.changes, 0) << "showing is no edit";
    if (c.edit) c.edit(fixture);

    SettingsState taken = state;
    BoxAnswerer answerer;
    EXPECT_EQ(fixture.page().Take(fixture.dialog(), taken), c.taken);
    EXPECT_EQ(answerer.Finish(), c.box);
    MachineSettings expected = state.machine;
    if (c.expected) c.expected(expected);
    EXPECT_EQ(taken.machine, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MachinePageTake,
    ::testing::Values(
        TakeCase{"memory_unchanged", true, {}, true, {}, true, {}, L""},
        TakeCase{"memory_edited",
                 true,
                 {},
                 true,
                 [](PageFixture& f) {
                     f.Type(IDC_MEMORY_BELOW, L"2047");
                     f.Type(IDC_MEMORY_PAUSE, L"35791");
                     f.Type(IDC_MEMORY_THRESHOLD, L"0");
                     f.Click(IDC_MEMORY_POSTPONE);
                     f.Click(IDC_MEMORY_COUNTERS);
                 },
                 true,
                 [](MachineSettings& m) {
                     m.Below = 2047;
                     m.Pause = 35791;
                     m.Threshold = 0;
                     m.Postpone = false;
                     m.NoCounters = false;
                 },
                 L""},
        TakeCase{"memory_below_too_large",
                 true,
                 {},
                 true,
                 [](PageFixture& f) { f.Type(IDC_MEMORY_BELOW, L"2048"); },
                 false,
                 {},
                 L"Recover when free memory is below: please enter a whole number from 1 to 2047."},
        TakeCase{"memory_pause_not_a_number",
                 true,
                 {},
                 true,
                 [](PageFixture& f) { f.Type(IDC_MEMORY_PAUSE, L"1e3"); },
                 false,
                 {},
                 L"Least time between two recoveries: please enter a whole number from 1 to "
                 L"35791."},
        // Switched off with its switch, the limit cannot be corrected: it keeps its value.
        TakeCase{"memory_disabled_limit_kept",
                 true,
                 {},
                 true,
                 [](PageFixture& f) {
                     f.Type(IDC_MEMORY_BELOW, L"");
                     f.Click(IDC_MEMORY_RECOVER);
                 },
                 true,
                 [](MachineSettings& m) { m.Recover = false; },
                 L""},
        TakeCase{"memory_read_only",
                 true,
                 {},
                 false,
                 [](PageFixture& f) { f.Type(IDC_MEMORY_BELOW, L"7"); },
                 true,
                 {},
                 L""},
        TakeCase{"cache_unchanged", false, {}, true, {}, true, {}, L""},
        // Stored modes the buttons do not name stay as stored until the user picks one.
        TakeCase{"cache_negative_mode_kept",
                 false,
                 [](MachineSettings& m) { m.Cache = -1; },
                 true,
                 {},
                 true,
                 {},
                 L""},
        TakeCase{"cache_unknown_mode_kept",
                 false,
                 [](MachineSettings& m) { m.Cache = 3; },
                 true,
                 {},
                 true,
                 {},
                 L""},
        TakeCase{"cache_switched_off",
                 false,
                 {},
                 true,
                 [](PageFixture& f) { f.Click(IDC_CACHE_OFF); },
                 true,
                 [](MachineSettings& m) { m.Cache = 0; },
                 L""},
        TakeCase{"cache_fixed_size",
                 false,
                 {},
                 true,
                 [](PageFixture& f) {
                     f.Click(IDC_CACHE_FIXED);
                     f.Type(IDC_CACHE_MAX, L"1024");
                     f.Type(IDC_CACHE_SHELL, L"\"D:\\Alt\\Shell.exe\"");
                 },
                 true,
                 [](MachineSettings& m) {
                     m.Cache = 2;
                     m.CacheMax = 1024;
                     m.Shell = "\"D:\\Alt\\Shell.exe\"";
                 },
                 L""},
        TakeCase{"cache_fixed_size_zero",
                 false,
                 {},
                 true,
                 [](PageFixture& f) {
                     f.Click(IDC_CACHE_FIXED);
                     f.Type(IDC_CACHE_MAX, L"0");
                 },
                 false,
                 {},
                 L"Fixed size (maximum): please enter a whole number from 1 to 2047."},
        TakeCase{"cache_read_only",
                 false,
                 {},
                 false,
                 [](PageFixture& f) { f.Type(IDC_CACHE_SHELL, L"other.exe"); },
                 true,
                 {},
                 L""}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(MachinePageAccess, AReadOnlyPageOffersTheShieldButtonAndAWritableOneDoesNot) {
    for (const bool memoryPage : {true, false}) {
        PageFixture fixture(MakePage(memoryPage));
        ASSERT_NE(fixture.dialog(), nullptr);
        const int shield = memoryPage ? IDC_MEMORY_ELEVATE : IDC_CACHE_ELEVATE;
        const int edit = memoryPage ? IDC_MEMORY_BELOW : IDC_CACHE_SHELL;
        const int check = memoryPage ? IDC_MEMORY_RECOVER : IDC_CACHE_AUTOMATIC;
        for (const bool writable : {false, true}) {
            SettingsState state;
            state.machineWritable = writable;
            fixture.page().Show(fixture.dialog(), state);
            EXPECT_EQ((::GetWindowLongW(fixture.Item(shield), GWL_STYLE) & WS_VISIBLE) != 0,
                      !writable);
            EXPECT_EQ((::GetWindowLongW(fixture.Item(edit), GWL_STYLE) & ES_READONLY) != 0,
                      !writable);
            EXPECT_EQ(::IsWindowEnabled(fixture.Item(check)) != FALSE, writable);
        }
        fixture.Click(shield);
        EXPECT_EQ(fixture.host.elevations, 1);
    }
}

}  // namespace
}  // namespace kxp::settings::test
