#include <gtest/gtest.h>

#include "platform/sim/SimMachine.h"

namespace kxp::sim {
namespace {

using platform::kHwndBroadcast;
using platform::kSmtoAbortIfHung;
using platform::kSmtoNormal;

class SimWindowsTest : public ::testing::Test {
  protected:
    platform::Windows& windows() { return machine.platform().windows; }
    SimMachine machine;
};

TEST_F(SimWindowsTest, FindWindowMatchesClassAndTitleExactlyFirstAddedFirst) {
    const auto first = machine.AddWindow("TKorvanelXPF", "Settings");
    const auto second = machine.AddWindow("TKorvanelXPF", "Other");
    const auto third = machine.AddWindow("Shell_TrayWnd", "");

    EXPECT_EQ(windows().FindWindowA("TKorvanelXPF", nullptr), first);
    EXPECT_EQ(windows().FindWindowA("TKorvanelXPF", "Other"), second);
    EXPECT_EQ(windows().FindWindowA(nullptr, ""), third);
    EXPECT_EQ(windows().FindWindowA(nullptr, nullptr), first);
    EXPECT_EQ(windows().FindWindowA("tkorvanelxpf", nullptr), 0u);
    EXPECT_EQ(windows().FindWindowA("TKorvanelXPF", "Missing"), 0u);

    machine.RemoveWindow(first);
    EXPECT_EQ(windows().FindWindowA("TKorvanelXPF", nullptr), second);
}

TEST_F(SimWindowsTest, SentMessageLandsInTheInbox) {
    const auto window = machine.AddWindow("C", "T");
    EXPECT_TRUE(windows().SendMessageTimeoutA(window, 0xC123, 3, -4, kSmtoNormal, 100));
    const auto inbox = machine.Inbox(window);
    ASSERT_EQ(inbox.size(), 1u);
    EXPECT_EQ(inbox[0].message, 0xC123u);
    EXPECT_EQ(inbox[0].wParam, 3u);
    EXPECT_EQ(inbox[0].lParam, -4);
}

TEST_F(SimWindowsTest, MessageToAMissingWindowFails) {
    EXPECT_FALSE(windows().SendMessageTimeoutA(0x4242, 1, 0, 0, kSmtoNormal, 100));
    EXPECT_EQ(machine.Now(), 0u);
}

TEST_F(SimWindowsTest, HungWindowFailsAtOnceWhenTheSenderAbortsOnHung) {
    const auto window = machine.AddWindow("C", "T", true);
    EXPECT_FALSE(windows().SendMessageTimeoutA(window, 1, 0, 0, kSmtoAbortIfHung, 100));
    EXPECT_EQ(machine.Now(), 0u);
    EXPECT_TRUE(machine.Inbox(window).empty());
}

TEST_F(SimWindowsTest, HungWindowCostsTheWholeTimeoutOtherwise) {
    const auto window = machine.AddWindow("C", "T", true);
    EXPECT_FALSE(windows().SendMessageTimeoutA(window, 1, 0, 0, kSmtoNormal, 250));
    EXPECT_EQ(machine.Now(), 250u);
    EXPECT_EQ(machine.TotalSleptMs(), 0u);

    machine.SetHung(window, false);
    EXPECT_TRUE(windows().SendMessageTimeoutA(window, 1, 0, 0, kSmtoNormal, 250));
    EXPECT_EQ(machine.Now(), 250u);
}

TEST_F(SimWindowsTest, BroadcastReachesEveryAnsweringWindow) {
    const auto a = machine.AddWindow("A", "a");
    const auto hung = machine.AddWindow("H", "h", true);
    const auto b = machine.AddWindow("B", "b");

    EXPECT_TRUE(windows().SendMessageTimeoutA(kHwndBroadcast, 7, 1, 2, kSmtoAbortIfHung, 200));
    EXPECT_EQ(machine.Inbox(a).size(), 1u);
    EXPECT_EQ(machine.Inbox(b).size(), 1u);
    EXPECT_TRUE(machine.Inbox(hung).empty());
    EXPECT_EQ(machine.Now(), 0u);

    EXPECT_TRUE(windows().SendMessageTimeoutA(kHwndBroadcast, 7, 1, 2, kSmtoNormal, 200));
    EXPECT_EQ(machine.Now(), 200u);
}

TEST_F(SimWindowsTest, BroadcastFailsWhenNoWindowReceivesIt) {
    EXPECT_FALSE(windows().SendMessageTimeoutA(kHwndBroadcast, 7, 0, 0, kSmtoAbortIfHung, 200));
    machine.AddWindow("H", "h", true);
    machine.AddWindow("H", "i", true);
    EXPECT_FALSE(windows().SendMessageTimeoutA(kHwndBroadcast, 7, 0, 0, kSmtoNormal, 200));
    EXPECT_EQ(machine.Now(), 400u);
}

TEST_F(SimWindowsTest, RegisteredMessagesAreStablePerNameIgnoringCase) {
    const auto id = windows().RegisterWindowMessageA("KorvanelXPSettings");
    EXPECT_GE(id, 0xC000u);
    EXPECT_EQ(windows().RegisterWindowMessageA("KORVANELXPSETTINGS"), id);
    EXPECT_NE(windows().RegisterWindowMessageA("TaskbarCreated"), id);
    EXPECT_EQ(machine.RegisteredMessage("korvanelxpsettings"), id);
    EXPECT_FALSE(machine.RegisteredMessage("Unknown").has_value());
}

TEST_F(SimWindowsTest, PumpsAndMessageBoxesAreRecorded) {
    windows().PumpThreadMessages();
    windows().PumpThreadMessages();
    EXPECT_EQ(machine.PumpCount(), 2);

    windows().ShowMessage("Critical Error #1", "KorvanelXP", platform::kMbIconError);
    const auto boxes = machine.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Critical Error #1");
    EXPECT_EQ(boxes[0].caption, "KorvanelXP");
    EXPECT_EQ(boxes[0].flags, platform::kMbIconError);
}

}  // namespace
}  // namespace kxp::sim
