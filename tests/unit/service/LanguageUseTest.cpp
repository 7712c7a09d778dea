// The language as an options read chooses it: by the user's language identifier or by name, a
// name from the user's hive that would lead out of the languages folder, the captions both menus
// get, and a missing English file, which ends the service.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ServiceFixture.h"
#include "lang/LanguageFileBytes.h"

namespace kxp::test {
namespace {

using platform::RegistryRoot;

const std::string kLanguages = std::string(kProgramFolder) + "languages\\";
constexpr const char* kLanguageMissing = "Language file not found!";

class LanguageUseTest : public ServiceTest {
  protected:
    LanguageUseTest() {
        LogOn();
        AddSettingsWindow();
        sim.CreateKey(RegistryRoot::Users, UserKey());
        AddLanguageFile("English", AnsiBytes("=$0409\r\n=x"));
        AddLanguageFile("Swiss", AnsiBytes("=$0807"));
        AddLanguageFile("German", Utf8Bytes(u8"=$0407 $0c07\r\n" + Lines(29) + u8"=Beenden"));
        AddLanguageFile("Russian", Utf16Bytes(u"=$0419\r\n" + Lines16(29) + u"=Выход", false));
    }
    static std::u8string Lines(int count) {
        std::u8string lines;
        for (int i = 0; i < count; ++i) lines += u8"=\r\n";
        return lines;
    }
    static std::u16string Lines16(int count) {
        std::u16string lines;
        for (int i = 0; i < count; ++i) lines += u"=\r\n";
        return lines;
    }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (const auto& box : sim.MessageBoxes()) texts.push_back(box.text);
        return texts;
    }
};

struct LanguageCase {
    const char* name;
    std::optional<std::string> stored;  // the user's Language value, none: absent
    std::uint16_t languageId;
    std::string loaded;  // the trace's name; empty when the file was missing
    std::u16string exitCaption;
    std::vector<std::string> boxes;
};

class UserLanguage : public LanguageUseTest, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(UserLanguage, IsLoadedAndCaptionsBothMenus) {
    if (GetParam().stored) SetUserText("Language", *GetParam().stored);
    sim.SetUserDefaultLangID(GetParam().languageId);
    RunPasses(1);
    EXPECT_EQ(TracesStartingWith({"language: "}),
              std::vector<std::string>{"language: " + GetParam().loaded});
    EXPECT_EQ(service.Config(1).Language, GetParam().loaded);
    EXPECT_EQ(service.MenuCaptions().Caption("miExit"), GetParam().exitCaption);
    EXPECT_EQ(service.MenuCaptions().Caption("mi2Exit"), GetParam().exitCaption);
    EXPECT_EQ(Boxes(), GetParam().boxes);
    // Nothing outside the folder was ever read.
    for (const auto& path : sim.FilesRead()) EXPECT_TRUE(path.starts_with(kLanguages)) << path;
    EXPECT_EQ(sim.ImpersonatingThreadCount(), 0);
}

const std::string kLong(300, 'L');

INSTANTIATE_TEST_SUITE_P(
    Cases, UserLanguage,
    ::testing::Values(
        LanguageCase{"AutomaticFindsTheFirstFileListingTheIdentifier",
                     "Automatic",
                     0x0407,
                     "German",
                     u"Beenden",
                     {}},
        LanguageCase{"AbsentMeansAutomatic", std::nullopt, 0x0c07, "German", u"Beenden", {}},
        LanguageCase{
            "AutomaticWithoutAMatchIsEnglish", "Automatic", 0x0413, "English", u"Exit", {}},
        LanguageCase{"AByNameInUtf16", "Russian", 0x0409, "Russian", u"Выход", {}},
        LanguageCase{
            "LowerCaseAutomaticIsAName", "automatic", 0x0407, "", u"Exit", {kLanguageMissing}},
        LanguageCase{"MissingFileKeepsTheBuiltInCaptions",
                     "Klingon",
                     0x0407,
                     "",
                     u"Exit",
                     {kLanguageMissing}},
        LanguageCase{"ParentFolderIsMissing",
                     "..\\..\\Windows\\win",
                     0x0407,
                     "",
                     u"Exit",
                     {kLanguageMissing}},
        LanguageCase{"SlashIsMissing", "../German", 0x0407, "", u"Exit", {kLanguageMissing}},
        LanguageCase{"DriveIsMissing", "C:German", 0x0407, "", u"Exit", {kLanguageMissing}},
        LanguageCase{
            "LongerThanAFileNameIsMissing", kLong, 0x0407, "", u"Exit", {kLanguageMissing}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LanguageUseTest, WithoutCaption33TheIntervalItemsAreTheirFigures) {
    SetUserText("Language", "German");
    RunPasses(1);
    const auto captions = service.MenuCaptions();
    for (const char* figure : {"1", "3", "5", "10", "60"}) {
        const std::string digits = figure;
        EXPECT_EQ(captions.Caption("miUpdateInterval" + digits + "sec"),
                  std::u16string(digits.begin(), digits.end()) + u" ");
    }
}

TEST_F(LanguageUseTest, ALaterLanguageWithoutAStringKeepsTheEarlierTranslation) {
    SetUserText("Language", "German");
    AtSessionCheck(1, [this] {
        SetUserText("Language", "Swiss");
        service.ReadUserOptionsRequested = true;
    });
    RunPasses(2);
    EXPECT_EQ(TracesStartingWith({"language: "}),
              (std::vector<std::string>{"language: German", "language: Swiss"}));
    EXPECT_EQ(service.MenuCaptions().Caption("miExit"), u"Beenden");
}

TEST_F(LanguageUseTest, TheLanguageFilesAreReadAsTheUser) {
    SetUserText("Language", "German");
    RunPasses(1);
    // The session check impersonates without a profile, and so does the language step.
    EXPECT_EQ(sim.ImpersonationCount(), 2);
    EXPECT_TRUE(sim.ProfileLoads().empty());
    EXPECT_EQ(sim.ImpersonatingThreadCount(), 0);
}

TEST_F(LanguageUseTest, AMissingEnglishFileShowsItsBoxReportsStoppedAndEnds) {
    sim.AddDirectory(kLanguages + "English.klf");
    std::optional<std::uint32_t> exitCode;
    try {
        RunPasses(1);
    } catch (const sim::SimProcessExit& exit) {
        exitCode = exit.exitCode;
    }
    EXPECT_EQ(exitCode, 3u);
    const auto boxes = sim.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "Critical Error - File C:\\Program Files\\KorvanelXP\\"
              "Languages\\English.klf not found !");
    EXPECT_EQ(boxes[0].caption, "Vostrel Error information");
    const auto last = sim.StatusReports().back();
    EXPECT_EQ(last.state, platform::ServiceState::Stopped);
    EXPECT_EQ(last.exitCode, platform::kErrorServiceSpecificError);
    EXPECT_EQ(last.serviceExitCode, 3u);
    EXPECT_EQ(sim.TotalSleptMs(), 0u);
}

}  // namespace
}  // namespace kxp::test
