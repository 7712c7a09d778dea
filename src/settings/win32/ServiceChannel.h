// The settings program's side of the request channel: the service's state and its control codes,
// through the service control manager.
#pragma once

namespace kxp::settings {

// The codes the settings program sends.
inline constexpr int kReadUserOptions = 128;
inline constexpr int kSendPeakMemoryUsage = 129;
inline constexpr int kReadLocalOptions = 132;
inline constexpr int kRecover = 133;
inline constexpr int kRestoreStart = 134;
inline constexpr int kRestoreEnd = 135;
inline constexpr int kQuit = 136;

// The notifications the service sends with the registered message.
inline constexpr int kBringForward = 1;
inline constexpr int kUserOptionsChanged = 2;
inline constexpr int kRecoveryStarted = 3;
inline constexpr int kRecoveryDone = 4;
inline constexpr int kPeakUsage = 5;
inline constexpr int kMachineOptionsChanged = 6;
inline constexpr int kServiceEnded = 7;

inline constexpr const wchar_t* kServiceName = L"KorvanelXPService";
inline constexpr const wchar_t* kSettingsWindowClass = L"TKorvanelXPF";
inline constexpr const wchar_t* kSettingsMessageName = L"KorvanelXPSettings";

// True when the service is running.
bool ServiceIsRunning();
// Sends one control code; false when the service is not there or the code did not reach it.
bool SendServiceCode(int code);

}  // namespace kxp::settings
