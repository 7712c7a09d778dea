// The language files shipped in languages/, read from the source tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "lang/LanguageHandlerUnit.h"
#include "platform/sim/SimMachine.h"

namespace kxp::test {
namespace {

constexpr const char* kLanguageFolder = "C:\\KorvanelXP\\languages\\";
// Every caption number the service uses.
constexpr int kServiceCaptions[] = {30, 31, 32, 33, 35, 36, 37, 38, 39, 41, 42, 43,
                                    44, 45, 51, 52, 53, 54, 55, 56, 57, 58, 59, 79};

// Every caption number the settings program's dialogs and boxes use: the identifiers from 100 to
// 999 its resource headers define.
std::vector<int> SettingsCaptions() {
    std::vector<int> numbers;
    const std::regex define("#define\\s+\\w+\\s+(\\d+)");
    for (const auto& entry : std::filesystem::directory_iterator(KXP_SETTINGS_RESOURCES)) {
        if (!entry.path().filename().string().ends_with("Ids.h")) continue;
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            std::smatch match;
            if (!std::regex_search(line, match, define)) continue;
            const int number = std::stoi(match[1]);
            if (number >= 100 && number <= 999) numbers.push_back(number);
        }
    }
    return numbers;
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ShippedLanguagesTest : public ::testing::Test {
  protected:
    ShippedLanguagesTest() {
        std::vector<std::filesystem::path> paths;
        for (const auto& entry : std::filesystem::directory_iterator(KXP_LANGUAGES_SOURCE)) {
            if (entry.path().extension() == ".klf") paths.push_back(entry.path());
        }
        // As a directory search on NTFS returns them.
        std::sort(paths.begin(), paths.end());
        for (const auto& path : paths) {
            names.push_back(path.stem().string());
            bytes[names.back()] = ReadBytes(path);
            sim.AddFile(kLanguageFolder + path.filename().string(), bytes[names.back()]);
        }
    }

    std::vector<std::string> names;
    std::map<std::string, std::vector<std::uint8_t>> bytes;
    sim::SimMachine sim;
    lang::CaptionList captions;
    int boxes = 0;
    lang::LanguageHandler handler{sim.platform().files, "C:\\KorvanelXP\\", captions,
                                  [this](const std::string&, const std::string&) { ++boxes; },
                                  [] {}};
};

TEST_F(ShippedLanguagesTest, EveryFileHasEveryCaptionAndItsOwnIdentifiers) {
    ASSERT_GE(names.size(), 8u);
    std::vector<int> numbers(std::begin(kServiceCaptions), std::end(kServiceCaptions));
    const std::vector<int> settings = SettingsCaptions();
    ASSERT_GE(settings.size(), 20u) << "the settings program's resource headers";
    numbers.insert(numbers.end(), settings.begin(), settings.end());
    const std::regex identifier("\\$[0-9a-f]{4}");
    std::map<std::string, std::string> claimedBy;
    for (const auto& name : names) {
        ASSERT_TRUE(handler.LoadLanguage(name)) << name;
        for (const int number : numbers) {
            EXPECT_NE(handler.LookupCaption(number), u"") << name << " caption " << number;
        }
        // Cores 3 and 4 are made by replacing the digit of core 2.
        for (const int number : {58, 59}) {
            const auto caption = handler.LookupCaption(number);
            EXPECT_EQ(std::count(caption.begin(), caption.end(), u'2'), 1) << name << number;
        }
        const std::u16string lineZero = handler.LookupCaption(0);
        ASSERT_FALSE(lineZero.empty()) << name;
        std::string ascii;
        for (const char16_t c : lineZero) ascii.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        std::istringstream words(ascii);
        std::size_t tokens = 0;
        for (std::string token; words >> token; ++tokens) {
            EXPECT_TRUE(std::regex_match(token, identifier)) << name << ": " << token;
            const auto [claim, fresh] = claimedBy.emplace(token, name);
            EXPECT_TRUE(fresh) << token << " in " << name << " and " << claim->second;
        }
        EXPECT_GT(tokens, 0u) << name;
    }
    EXPECT_EQ(boxes, 0);
}

TEST_F(ShippedLanguagesTest, AutomaticChoiceFindsEachLanguageByItsVariants) {
    struct Row {
        std::uint16_t languageId;
        std::string language;
        std::u16string exit;
        std::vector<std::uint8_t> mark;  // how the file is encoded
    };
    const std::vector<Row> table{
        {0x0409, "English", u"Exit", {}},
        {0x0809, "English", u"Exit", {}},
        {0x0411, "English", u"Exit", {}},  // no Japanese file
        {0x0407, "German", u"Beenden", {0xEF, 0xBB, 0xBF}},
        {0x0c07, "German", u"Beenden", {0xEF, 0xBB, 0xBF}},
        {0x040c, "French", u"Quitter", {0xEF, 0xBB, 0xBF}},
        {0x0c0c, "French", u"Quitter", {0xEF, 0xBB, 0xBF}},
        {0x0c0a, "Spanish", u"Salir", {0xEF, 0xBB, 0xBF}},
        {0x080a, "Spanish", u"Salir", {0xEF, 0xBB, 0xBF}},
        {0x0810, "Italian", u"Esci", {0xEF, 0xBB, 0xBF}},
        {0x0416, "Portuguese", u"Sair", {0xEF, 0xBB, 0xBF}},
        {0x0816, "Portuguese", u"Sair", {0xEF, 0xBB, 0xBF}},
        {0x0415, "Polish", u"Zakończ", {0xFE, 0xFF}},
        {0x0419, "Russian", u"Выход", {0xFF, 0xFE}},
        {0x0819, "Russian", u"Выход", {0xFF, 0xFE}},
    };
    for (const auto& row : table) {
        sim.SetUserDefaultLangID(row.languageId);
        EXPECT_EQ(handler.SelectLanguage("Automatic"), row.language) << row.languageId;
        EXPECT_EQ(handler.LookupCaption(30), row.exit) << row.languageId;
        const auto& file = bytes[row.language];
        const bool marked = file.size() >= row.mark.size() &&
                            std::equal(row.mark.begin(), row.mark.end(), file.begin());
        EXPECT_TRUE(marked) << row.language;
        if (row.mark.empty()) {
            EXPECT_TRUE(std::all_of(file.begin(), file.end(), [](auto b) { return b < 0x80; }))
                << "the 8-bit file reads the same in every code page";
        }
    }
    EXPECT_EQ(boxes, 0);
}

}  // namespace
}  // namespace kxp::test
