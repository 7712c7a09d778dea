#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "lang/LanguageFile.h"
#include "lang/LanguageFileBytes.h"

namespace kxp::test {
namespace {

using lang::DecodeLanguageFile;
using lang::LanguageLines;

// The simulated system code page: Latin-1.
std::u16string Latin1(const std::string& text) {
    std::u16string wide;
    for (const char c : text) wide.push_back(static_cast<unsigned char>(c));
    return wide;
}

std::vector<std::u16string> AllLines(const LanguageLines& lines) {
    std::vector<std::u16string> all;
    for (std::size_t i = 0; i < lines.Count(); ++i) all.emplace_back(lines.Line(i));
    return all;
}

std::vector<std::u16string> Decode(const std::vector<std::uint8_t>& bytes) {
    return AllLines(DecodeLanguageFile(bytes, Latin1));
}

struct DecodeCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::vector<std::u16string> lines;
};

std::ostream& operator<<(std::ostream& out, const DecodeCase& c) {
    return out << c.name;
}

class DecodeLanguageFileTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeLanguageFileTest, GivesTheFilesLines) {
    EXPECT_EQ(Decode(GetParam().bytes), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, DecodeLanguageFileTest,
    ::testing::Values(
        DecodeCase{"Utf16LittleEndian",
                   Utf16Bytes(u"=$0415\r\n=Zakończ", false),
                   {u"=$0415", u"=Zakończ"}},
        DecodeCase{"Utf16BigEndian", Utf16Bytes(u"=$0419\r\n=Выход", true), {u"=$0419", u"=Выход"}},
        DecodeCase{
            "Utf8", Utf8Bytes(u8"=$040c\r\n=Récupérer 😀"), {u"=$040c", u"=Récupérer \U0001F600"}},
        DecodeCase{"EightBitInTheSystemCodePage",
                   AnsiBytes("=$0407\r\n=Gr\xF6\xDF"
                             "e"),
                   {u"=$0407", u"=Größe"}},
        // Without its mark UTF-8 is 8-bit text, as the system would read it.
        DecodeCase{"Utf8WithoutMarkIsEightBit", AnsiBytes("\xC3\xA9"), {u"\u00C3\u00A9"}},
        // A lone FF or FE is no mark.
        DecodeCase{"HalfAMarkIsEightBit", AnsiBytes("\xFF"), {u"\u00FF"}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    LineShapes, DecodeLanguageFileTest,
    ::testing::Values(DecodeCase{"EmptyFile", {}, {}},
                      DecodeCase{"OnlyUtf8Mark", Utf8Bytes(u8""), {}},
                      DecodeCase{"OnlyUtf16Mark", Utf16Bytes(u"", false), {}},
                      DecodeCase{"NoLineBreak", AnsiBytes("=Exit"), {u"=Exit"}},
                      DecodeCase{"BreakAtTheEndOpensNoLine", AnsiBytes("=Exit\r\n"), {u"=Exit"}},
                      DecodeCase{"CrLfCrAndLfEachEndALine",
                                 AnsiBytes("a\rb\nc\r\n\r\nd"),
                                 {u"a", u"b", u"c", u"", u"d"}},
                      DecodeCase{"LoneBreak", AnsiBytes("\n"), {u""}},
                      DecodeCase{"CrThenCrLf", AnsiBytes("\r\r\n"), {u"", u""}},
                      DecodeCase{"Utf16BreaksAreCharacters",
                                 Utf16Bytes(u"a\u000Db\u000Ac", true),
                                 {u"a", u"b", u"c"}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    DamagedText, DecodeLanguageFileTest,
    ::testing::Values(
        DecodeCase{"Utf16OddLastByteIsDropped", {0xFF, 0xFE, 'a', 0, 'b'}, {u"a"}},
        DecodeCase{"Utf16LoneSurrogatesAreKept",
                   {0xFE, 0xFF, 0xD8, 0x00, 0x00, 'x', 0xDC, 0x00},
                   {std::u16string{char16_t(0xD800), u'x', char16_t(0xDC00)}}},
        DecodeCase{"Utf8TruncatedAtTheEnd", {0xEF, 0xBB, 0xBF, 'a', 0xC3}, {u"a\uFFFD"}},
        DecodeCase{"Utf8StrayContinuation", {0xEF, 0xBB, 0xBF, 0x80, 'a'}, {u"\uFFFDa"}},
        DecodeCase{"Utf8Overlong", {0xEF, 0xBB, 0xBF, 0xC0, 0xAF}, {u"\uFFFD"}},
        DecodeCase{"Utf8EncodedSurrogate", {0xEF, 0xBB, 0xBF, 0xED, 0xA0, 0x80}, {u"\uFFFD"}},
        DecodeCase{"Utf8BeyondUnicode", {0xEF, 0xBB, 0xBF, 0xF4, 0x90, 0x80, 0x80}, {u"\uFFFD"}},
        DecodeCase{
            "Utf8CutByABreak", {0xEF, 0xBB, 0xBF, 0xE2, 0x82, '\n', 'x'}, {u"\uFFFD", u"x"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LanguageLinesTest, CaptionIsTheLineWithoutItsFirstCharacter) {
    const auto lines = LanguageLines::Split(u"=ids\n=Exit\nx\n\n\U0001F600Pair\n=");
    const std::vector<std::pair<std::int64_t, std::u16string>> table{
        {0, u"ids"}, {1, u"Exit"}, {2, u""},  {3, u""},         {4, u"Pair"},
        {5, u""},    {6, u""},     {-1, u""}, {1LL << 40, u""},
    };
    for (const auto& [number, caption] : table) {
        EXPECT_EQ(lines.Caption(number), caption) << "caption " << number;
    }
}

TEST(LanguageLinesTest, HundredThousandLinesAndMegabyteLines) {
    std::string many;
    for (int i = 0; i < 100000; ++i) many.append("=").append(std::to_string(i)).append("\r\n");
    const auto manyLines = DecodeLanguageFile(AnsiBytes(many), Latin1);
    EXPECT_EQ(manyLines.Count(), 100000u);
    EXPECT_EQ(manyLines.Caption(99999), u"99999");

    const std::u16string megabyte(1 << 20, u'ж');
    std::u8string megabyteUtf8;
    for (std::size_t i = 0; i < megabyte.size(); ++i) megabyteUtf8 += u8"ж";
    for (const auto& bytes :
         {Utf16Bytes(u"=\r\n=" + megabyte, false), Utf16Bytes(u"=\r\n=" + megabyte, true),
          Utf8Bytes(u8"=\r\n=" + megabyteUtf8)}) {
        const auto lines = DecodeLanguageFile(bytes, Latin1);
        ASSERT_EQ(lines.Count(), 2u);
        EXPECT_EQ(lines.Caption(1), megabyte);
    }
}

}  // namespace
}  // namespace kxp::test
