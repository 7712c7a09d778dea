// The SID text of a TokenUser record, and records that must not be trusted.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "service/SessionSid.h"

namespace kxp {
namespace {

struct Sid {
    std::uint8_t revision = 1;
    std::vector<std::uint8_t> authority = {0, 0, 0, 0, 0, 5};
    std::vector<std::uint32_t> subAuthorities;
    std::uint8_t countOverride = 0xFF;  // the count byte, when not the true count
};

// A TokenUser record in a buffer of its own: the SID's address at the start, the SID at sidAt.
class Record {
  public:
    explicit Record(const Sid& sid, std::size_t sidAt = 16, std::size_t extra = 0) {
        bytes_.resize(sidAt + 8 + sid.subAuthorities.size() * 4 + extra, 0);
        SetSidAddress(reinterpret_cast<std::uintptr_t>(bytes_.data()) + sidAt);
        std::uint8_t* p = bytes_.data() + sidAt;
        p[0] = sid.revision;
        p[1] = sid.countOverride != 0xFF ? sid.countOverride
                                         : static_cast<std::uint8_t>(sid.subAuthorities.size());
        std::memcpy(p + 2, sid.authority.data(), 6);
        for (std::size_t i = 0; i < sid.subAuthorities.size(); ++i) {
            std::memcpy(p + 8 + i * 4, &sid.subAuthorities[i], 4);
        }
    }
    void SetSidAddress(std::uintptr_t address) {
        std::memcpy(bytes_.data(), &address, sizeof address);
    }
    std::uintptr_t Base() const { return reinterpret_cast<std::uintptr_t>(bytes_.data()); }
    std::size_t Size() const { return bytes_.size(); }
    std::string Text() const { return TokenUserSidText(bytes_); }
    std::string TextOfFirst(std::size_t bytes) const {
        return TokenUserSidText(std::span(bytes_.data(), bytes));
    }

  private:
    std::vector<std::uint8_t> bytes_;
};

struct SidCase {
    const char* what;
    Sid sid;
    const char* expected;
};

void PrintTo(const SidCase& c, std::ostream* out) {
    *out << c.what;
}

class SidTextTest : public ::testing::TestWithParam<SidCase> {};

TEST_P(SidTextTest, FormatsRevisionAuthorityAndSubAuthorities) {
    EXPECT_EQ(Record(GetParam().sid).Text(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sids, SidTextTest,
    ::testing::Values(
        SidCase{
            "a local user", {1, {0, 0, 0, 0, 0, 5}, {21, 0, 0, 0, 1000}}, "S-1-5-21-0-0-0-1000"},
        SidCase{"local system", {1, {0, 0, 0, 0, 0, 5}, {18}}, "S-1-5-18"},
        SidCase{"no sub-authority", {1, {0, 0, 0, 0, 0, 1}, {}}, "S-1-1"},
        SidCase{"the lower four bytes big-endian",
                {1, {0, 0, 0x12, 0x34, 0x56, 0x78}, {7}},
                "S-1-305419896-7"},
        SidCase{"the largest decimal authority",
                {1, {0, 0, 0xFF, 0xFF, 0xFF, 0xFF}, {4294967295u}},
                "S-1-4294967295-4294967295"},
        SidCase{"a top byte set: all six in hex",
                {1, {0x01, 0x00, 0x00, 0x00, 0x00, 0x05}, {1}},
                "S-1-0x010000000005-1"},
        SidCase{"the second byte set: all six in hex",
                {1, {0x00, 0xAB, 0xCD, 0xEF, 0x01, 0x23}, {}},
                "S-1-0x00abcdef0123"},
        SidCase{"fifteen sub-authorities",
                {1, {0, 0, 0, 0, 0, 5}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
                "S-1-5-1-2-3-4-5-6-7-8-9-10-11-12-13-14-15"},
        SidCase{"a revision other than 1", {2, {0, 0, 0, 0, 0, 5}, {18}}, "error"},
        SidCase{"sixteen sub-authorities",
                {1, {0, 0, 0, 0, 0, 5}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
                "error"},
        SidCase{"a count beyond the record", {1, {0, 0, 0, 0, 0, 5}, {21, 1}, 3}, "error"}));

TEST(SidTextTest, ASidAddressBeforeTheRecordIsAnError) {
    Record record(Sid{1, {0, 0, 0, 0, 0, 5}, {18}});
    record.SetSidAddress(record.Base() - 8);
    EXPECT_EQ(record.Text(), "error");
}

TEST(SidTextTest, ASidAddressPastTheRecordIsAnError) {
    Record record(Sid{1, {0, 0, 0, 0, 0, 5}, {18}});
    record.SetSidAddress(record.Base() + record.Size() + 16);
    EXPECT_EQ(record.Text(), "error");
    record.SetSidAddress(record.Base() + record.Size());
    EXPECT_EQ(record.Text(), "error");
    record.SetSidAddress(0);
    EXPECT_EQ(record.Text(), "error");
}

TEST(SidTextTest, ASidCutShortByTheRecordIsAnError) {
    const Record record(Sid{1, {0, 0, 0, 0, 0, 5}, {21, 0, 0, 0, 1000}});
    EXPECT_EQ(record.TextOfFirst(record.Size()), "S-1-5-21-0-0-0-1000");
    EXPECT_EQ(record.TextOfFirst(record.Size() - 1), "error");
    EXPECT_EQ(record.TextOfFirst(16 + 7), "error");
    EXPECT_EQ(record.TextOfFirst(7), "error");
    EXPECT_EQ(TokenUserSidText({}), "error");
}

TEST(SidTextTest, TheSidMayLieAnywhereInTheRecord) {
    const Record record(Sid{1, {0, 0, 0, 0, 0, 5}, {32, 544}}, 40, 24);
    EXPECT_EQ(record.Text(), "S-1-5-32-544");
}

}  // namespace
}  // namespace kxp
