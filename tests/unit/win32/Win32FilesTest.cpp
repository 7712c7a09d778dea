#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "lang/LanguageHandlerUnit.h"
#include "platform/win32/Win32Files.h"

namespace kxp::win32 {
namespace {

// Each test works in a folder of its own under the temporary folder, removed afterwards.
class Win32FilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH + 1] = {};
        ASSERT_GT(::GetTempPathA(sizeof temp, temp), 0u);
        folder_ = std::string(temp) + "KorvanelXPFiles" + std::to_string(::GetCurrentProcessId()) +
                  "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
        std::filesystem::remove_all(folder_);
        ASSERT_TRUE(std::filesystem::create_directories(folder_ + "languages"));
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(folder_ + name, std::ios::binary) << bytes;
    }

    Win32Files files_;
    std::string folder_;
};

TEST_F(Win32FilesTest, FindFiles_ListsFilesAndFoldersThatMatch) {
    Write("languages\\b.klf", "b");
    Write("languages\\a.klf", "a");
    Write("languages\\c.txt", "c");
    ASSERT_TRUE(std::filesystem::create_directory(folder_ + "languages\\X.klf"));
    auto names = files_.FindFiles(folder_ + "languages\\*.klf");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"X.klf", "a.klf", "b.klf"}));
    EXPECT_TRUE(files_.FindFiles(folder_ + "languages\\*.none").empty());
    EXPECT_TRUE(files_.FindFiles(folder_ + "missing\\*.klf").empty());
}

TEST_F(Win32FilesTest, FileExistsAndReadWholeFile) {
    const std::string bytes("\xFF\xFE\0\x01\r\n", 6);
    Write("languages\\a.klf", bytes);
    Write("languages\\empty.klf", "");
    ASSERT_TRUE(std::filesystem::create_directory(folder_ + "languages\\X.klf"));

    EXPECT_TRUE(files_.FileExists(folder_ + "languages\\a.klf"));
    EXPECT_FALSE(files_.FileExists(folder_ + "languages\\X.klf"));
    EXPECT_FALSE(files_.FileExists(folder_ + "languages\\missing.klf"));

    std::vector<std::uint8_t> read;
    ASSERT_TRUE(files_.ReadWholeFile(folder_ + "languages\\a.klf", 6, read));
    EXPECT_EQ(std::string(read.begin(), read.end()), bytes);
    ASSERT_TRUE(files_.ReadWholeFile(folder_ + "languages\\empty.klf", 6, read));
    EXPECT_TRUE(read.empty());

    const std::vector<std::uint8_t> untouched{1, 2, 3};
    for (const auto& [name, limit] : std::vector<std::pair<std::string, std::size_t>>{
             {"languages\\a.klf", 5}, {"languages\\X.klf", 100}, {"languages\\missing.klf", 100}}) {
        read = untouched;
        EXPECT_FALSE(files_.ReadWholeFile(folder_ + name, limit, read)) << name;
        EXPECT_EQ(read, untouched) << name;
    }
}

TEST_F(Win32FilesTest, ShippedRussianFileGivesCyrillicCaptions) {
    for (const char* name : {"English.klf", "Russian.klf"}) {
        std::filesystem::copy_file(std::string(KXP_SHIPPED_LANGUAGES) + "/" + name,
                                   folder_ + "languages\\" + name);
    }
    lang::CaptionList captions;
    std::vector<std::string> boxes;
    lang::LanguageHandler handler(
        files_, folder_, captions,
        [&](const std::string& text, const std::string&) { boxes.push_back(text); }, [] {});
    EXPECT_EQ(handler.SelectLanguage("Russian"), "Russian");
    EXPECT_EQ(handler.LookupCaption(30), u"Выход");
    EXPECT_EQ(handler.Translate(45, u"Settings..."), u"Настройки...");
    EXPECT_EQ(handler.Translate(99, u"Settings..."), u"Settings...");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Win32FilesTest, SystemCodePageConversions) {
    EXPECT_EQ(files_.AnsiToWide("Exit"), u"Exit");
    EXPECT_EQ(files_.WideToAnsi(u"Exit"), "Exit");
    EXPECT_EQ(files_.AnsiToWide(""), u"");
    EXPECT_EQ(files_.WideToAnsi(u""), "");
    EXPECT_NE(files_.GetUserDefaultLangID(), 0u);
}

}  // namespace
}  // namespace kxp::win32
