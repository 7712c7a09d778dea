#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <utility>
#include <vector>

#include "lang/LanguageFile.h"
#include "lang/LanguageFileBytes.h"
#include "lang/LanguageHandlerUnit.h"
#include "platform/sim/SimMachine.h"

namespace kxp::test {
namespace {

using Box = std::pair<std::string, std::string>;

constexpr const char* kDirectory = "C:\\Program Files\\KorvanelXP\\";
constexpr const char* kLanguages = "C:\\Program Files\\KorvanelXP\\languages\\";
const Box kLanguageMissingBox{"Language file not found!", "Vostrel Error information"};
const Box kDetectionBox{"Couldn't open the language setting file --> Language: English",
                        "File missing?"};

// A file with line 0 and caption 30 ("Exit" and its translations); the lines between are unused.
std::vector<std::uint8_t> LanguageFile(const std::string& lineZero, const std::string& exit) {
    std::string text = lineZero + "\r\n";
    for (int line = 1; line < 30; ++line) text += "=\r\n";
    return AnsiBytes(text + "=" + exit + "\r\n");
}

class LanguageHandlerTest : public ::testing::Test {
  protected:
    LanguageHandlerTest() { AddLanguage("English", "=$0409 $0809", "Exit"); }

    void AddLanguage(const std::string& name, const std::string& lineZero,
                     const std::string& exit) {
        sim.AddFile(kLanguages + name + ".klf", LanguageFile(lineZero, exit));
    }

    sim::SimMachine sim;
    lang::CaptionList captions;
    std::vector<Box> boxes;
    int processEnds = 0;
    lang::LanguageHandler handler{sim.platform().files, kDirectory, captions,
                                  [this](const std::string& text, const std::string& caption) {
                                      boxes.emplace_back(text, caption);
                                  },
                                  [this] { ++processEnds; }};
};

struct DetectCase {
    const char* name;
    std::uint16_t languageId;
    // Files added after English, in this order; an empty line zero makes a directory.
    std::vector<std::pair<std::string, std::string>> files;
    std::string detected;
    std::vector<Box> boxes;
};

class DetectLanguageTest : public LanguageHandlerTest,
                           public ::testing::WithParamInterface<DetectCase> {};

TEST_P(DetectLanguageTest, ChoosesByTheUsersLanguage) {
    sim.SetUserDefaultLangID(GetParam().languageId);
    for (const auto& [file, lineZero] : GetParam().files) {
        if (lineZero.empty()) {
            sim.AddDirectory(kLanguages + file);
        } else {
            sim.AddFile(kLanguages + file, LanguageFile(lineZero, "x"));
        }
    }
    EXPECT_EQ(handler.DetectLanguage(), GetParam().detected);
    EXPECT_EQ(boxes, GetParam().boxes);
    EXPECT_EQ(captions.LookupCaption(30), u"") << "detection loads no captions";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DetectLanguageTest,
    ::testing::Values(
        DetectCase{"FirstFileListingTheTagWins",
                   0x0407,
                   {{"Deutsch.klf", "=$0407 $0807"}, {"Zweites.klf", "=$0407"}},
                   "Deutsch",
                   {}},
        DetectCase{"NoFileListsTheTag", 0x0407, {{"French.klf", "=$040c"}}, "English", {}},
        DetectCase{"AnySeparatorsAroundTheTag",
                   0x0c0a,
                   {{"Spanish.klf", "=x$040a,$0c0a;"}},
                   "Spanish",
                   {}},
        DetectCase{"TagIsLowerCaseHexadecimal", 0x0c0a, {{"Spanish.klf", "=$0C0A"}}, "English", {}},
        DetectCase{"FirstCharacterOfLineZeroIsNotSearched",
                   0x0407,
                   {{"German.klf", "$0407"}},
                   "English",
                   {}},
        DetectCase{
            "NameIsUpToTheLastDot", 0x0416, {{"Portuguese.pt.klf", "=$0416"}}, "Portuguese.pt", {}},
        DetectCase{
            "OtherExtensionsAreNotLookedAt", 0x0407, {{"German.txt", "=$0407"}}, "English", {}},
        DetectCase{"UnreadableEntriesShowOneBoxAndTheWalkGoesOn",
                   0x0407,
                   {{"A.klf", ""}, {"B.klf", ""}, {"German.klf", "=$0407"}},
                   "German",
                   {kDetectionBox}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LanguageHandlerTest, DetectLanguage_NoReadableFileShowsTheBox) {
    sim::SimMachine empty;
    lang::LanguageHandler bare(
        empty.platform().files, kDirectory, captions,
        [this](const std::string& text, const std::string& caption) {
            boxes.emplace_back(text, caption);
        },
        [] {});
    EXPECT_EQ(bare.DetectLanguage(), "English");
    empty.AddDirectory(std::string(kLanguages) + "X.klf");
    EXPECT_EQ(bare.DetectLanguage(), "English");
    EXPECT_EQ(boxes, (std::vector<Box>{kDetectionBox, kDetectionBox}));
}

struct SelectCase {
    const char* name;
    std::string requested;
    std::string selected;
    std::u16string exitCaption;
    std::vector<Box> boxes;
};

class SelectLanguageTest : public LanguageHandlerTest,
                           public ::testing::WithParamInterface<SelectCase> {
  protected:
    SelectLanguageTest() {
        sim.SetUserDefaultLangID(0x0407);
        AddLanguage("German", "=$0407", "Beenden");
        AddLanguage(std::string(251, 'L'), "=$0000", "Long");
        // Beside the folder: no name may reach it.
        sim.AddFile(std::string(kDirectory) + "secret.klf", LanguageFile("=", "Secret"));
    }
};

TEST_P(SelectLanguageTest, LoadsTheChosenFile) {
    EXPECT_EQ(handler.SelectLanguage(GetParam().requested), GetParam().selected);
    EXPECT_EQ(captions.LookupCaption(30), GetParam().exitCaption);
    EXPECT_EQ(boxes, GetParam().boxes);
    EXPECT_EQ(processEnds, 0);
    for (const auto& path : sim.FilesRead()) {
        const std::string name = path.substr(std::string(kLanguages).size());
        EXPECT_EQ(path.rfind(kLanguages, 0), 0u) << path;
        EXPECT_EQ(name.find_first_of("\\/:"), std::string::npos) << path;
        EXPECT_EQ(name.find(".."), std::string::npos) << path;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, SelectLanguageTest,
    ::testing::Values(
        SelectCase{"Automatic", "Automatic", "German", u"Beenden", {}},
        SelectCase{"EmptyIsAutomatic", "", "German", u"Beenden", {}},
        SelectCase{"LowerCaseAutomaticIsAName", "automatic", "", u"", {kLanguageMissingBox}},
        SelectCase{"NamedLanguage", "English", "English", u"Exit", {}},
        SelectCase{"MissingFileWithNothingLoaded", "Klingon", "", u"", {kLanguageMissingBox}},
        SelectCase{"LongestFileName", std::string(251, 'L'), std::string(251, 'L'), u"Long", {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Names from the user's own hive that would leave the languages folder are missing files.
INSTANTIATE_TEST_SUITE_P(
    NamesOutsideTheFolder, SelectLanguageTest,
    ::testing::Values(
        SelectCase{"ParentBackslash", "..\\secret", "", u"", {kLanguageMissingBox}},
        SelectCase{"ParentSlash", "../secret", "", u"", {kLanguageMissingBox}},
        SelectCase{"Subfolder", "sub\\German", "", u"", {kLanguageMissingBox}},
        SelectCase{"DriveRelative", "C:German", "", u"", {kLanguageMissingBox}},
        SelectCase{
            "FullPath", "C:\\Program Files\\KorvanelXP\\secret", "", u"", {kLanguageMissingBox}},
        SelectCase{"DoubleDot", "Ger..man", "", u"", {kLanguageMissingBox}},
        SelectCase{"EmbeddedNul", std::string("German\0..", 9), "", u"", {kLanguageMissingBox}},
        SelectCase{"LongerThanAFileName", std::string(252, 'L'), "", u"", {kLanguageMissingBox}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LanguageHandlerTest, SelectLanguage_EnglishMissingShowsTheCriticalBoxAndEnds) {
    sim::SimMachine bare;
    bare.AddFile(std::string(kLanguages) + "German.klf", LanguageFile("=$0407", "Beenden"));
    lang::LanguageHandler loader(
        bare.platform().files, kDirectory, captions,
        [this](const std::string& text, const std::string& caption) {
            boxes.emplace_back(text, caption);
        },
        [this] { ++processEnds; });
    EXPECT_EQ(loader.SelectLanguage("German"), "");
    EXPECT_EQ(boxes, (std::vector<Box>{{"Critical Error - File C:\\Program Files\\KorvanelXP\\"
                                        "Languages\\English.klf not found !",
                                        "Vostrel Error information"}}));
    EXPECT_EQ(processEnds, 1);
    EXPECT_EQ(captions.LookupCaption(30), u"");
}

TEST_F(LanguageHandlerTest, ForService_BoxesAndTheEndGoToThePlatform) {
    sim::SimMachine bare;
    bare.SetModuleFileName("D:\\Tools\\KorvanelXP.exe");
    int ends = 0;
    auto loader = lang::LanguageHandler::ForService(bare.platform(), [&ends] { ++ends; });
    EXPECT_EQ(loader.SelectLanguage("Automatic"), "");
    EXPECT_EQ(ends, 1);
    const auto shown = bare.MessageBoxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Critical Error - File D:\\Tools\\Languages\\English.klf not found !");
    EXPECT_EQ(shown[0].caption, "Vostrel Error information");
    EXPECT_EQ(shown[0].flags, platform::kMbOk);
}

TEST_F(LanguageHandlerTest, MissingFileKeepsTheCaptionsLoadedBefore) {
    AddLanguage("German", "=$0407", "Beenden");
    ASSERT_EQ(handler.SelectLanguage("German"), "German");
    EXPECT_EQ(handler.SelectLanguage("Klingon"), "");
    EXPECT_EQ(handler.LookupCaption(30), u"Beenden");
    EXPECT_EQ(boxes, std::vector<Box>{kLanguageMissingBox});
}

TEST_F(LanguageHandlerTest, LoadLanguage_UnreadableFilesLeaveTheListAsItWas) {
    AddLanguage("German", "=$0407", "Beenden");
    ASSERT_TRUE(handler.LoadLanguage("German"));
    sim.AddDirectory(std::string(kLanguages) + "X.klf");
    std::vector<std::uint8_t> huge(lang::kLongestLanguageFile + 1, '=');
    sim.AddFile(std::string(kLanguages) + "Huge.klf", std::move(huge));
    for (const char* name : {"X", "Huge", "Missing", ""}) {
        EXPECT_FALSE(handler.LoadLanguage(name)) << name;
        EXPECT_EQ(handler.LookupCaption(30), u"Beenden") << name;
    }
    sim.AddFile(std::string(kLanguages) + "Empty.klf", {});
    EXPECT_TRUE(handler.LoadLanguage("Empty"));
    EXPECT_EQ(handler.LookupCaption(30), u"");
}

TEST_F(LanguageHandlerTest, Translate_FallsBackWhenTheCaptionIsEmpty) {
    sim.AddFile(std::string(kLanguages) + "Russian.klf",
                Utf16Bytes(u"=$0419\r\n=Выход\r\n=\r\nx\r\n=Grüße", false));
    ASSERT_TRUE(handler.LoadLanguage("Russian"));
    struct Row {
        std::int64_t number;
        std::string narrow;
        std::u16string wide;
    };
    const std::vector<Row> table{
        // The simulated system code page lacks Cyrillic, as a Western one does.
        {1, "?????", u"Выход"},
        {2, "fallback", u"fallback"},  // only the leading character
        {3, "fallback", u"fallback"},  // one character
        {4,
         "Gr\xFC\xDF"
         "e",
         u"Grüße"},
        {5, "fallback", u"fallback"},  // beyond the last line
        {-1, "fallback", u"fallback"},
    };
    for (const auto& row : table) {
        EXPECT_EQ(handler.Translate(row.number, "fallback"), row.narrow) << row.number;
        EXPECT_EQ(handler.Translate(row.number, u"fallback"), row.wide) << row.number;
    }
}

TEST_F(LanguageHandlerTest, LookupsWhileAnotherThreadLoadsSeeWholeFiles) {
    AddLanguage("German", "=$0407", "Beenden");
    AddLanguage("French", "=$040c", "Quitter");
    auto loading = std::async(std::launch::async, [this] {
        for (int i = 0; i < 300; ++i) handler.LoadLanguage(i % 2 == 0 ? "German" : "French");
    });
    int unexpected = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (loading.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready &&
           std::chrono::steady_clock::now() < deadline) {
        const std::u16string caption = handler.LookupCaption(30);
        if (caption != u"" && caption != u"Beenden" && caption != u"Quitter") ++unexpected;
    }
    ASSERT_EQ(loading.wait_for(std::chrono::milliseconds(0)), std::future_status::ready);
    EXPECT_EQ(unexpected, 0);
    EXPECT_EQ(handler.LookupCaption(30), u"Quitter");
}

}  // namespace
}  // namespace kxp::test
