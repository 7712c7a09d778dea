// Names and texts of the service that other programs, the registry or the user see. Defined once,
// byte for byte.
#pragma once

#include <cstdint>

namespace kxp::texts {

inline constexpr const char* kServiceName = "KorvanelXPService";
inline constexpr const char* kDisplayName = "KorvanelXP";

// The user name that stands for "nobody is logged on".
inline constexpr const char* kNobody = "SYSTEM";

inline constexpr const char* kSettingsWindowClass = "TKorvanelXPF";
inline constexpr const char* kSettingsMessageName = "KorvanelXPSettings";
// The class of the main thread's hidden window.
inline constexpr const char* kMainWindowClass = "KorvanelXPMainThread";

inline constexpr const char* kWinlogonKey =
    "\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
inline constexpr const char* kWinlogonShellValue = "shell";
inline constexpr const char* kDefaultShell = "explorer.exe";

inline constexpr const char* kUserOptionsSubkey = "\\Software\\KorvanelXP";
inline constexpr const char* kUserRunSubkey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kOldRunValue = "Korvanel";
inline constexpr const char* kSettingsProgram = "KorvanelXPSettings.exe";
inline constexpr const char* kInteractiveDesktop = "Winsta0\\Default";

inline constexpr const char* kServiceKey =
    "\\SYSTEM\\CurrentControlSet\\Services\\KorvanelXPService";
inline constexpr const char* kDebugTraceValue = "DebugTrace";
inline constexpr const char* kDebugPrefix = "KorvanelXP: ";

inline constexpr const char* kCriticalError = "KorvanelXP critical error: ";
inline constexpr const char* kCriticalErrorOne = "Critical Error #1";
inline constexpr const char* kServiceFailedOn = "Service failed on ";
// The service's own exit codes, reported with ERROR_SERVICE_SPECIFIC_ERROR when a critical error
// ends it.
inline constexpr std::uint32_t kExitDrawingObjectsFailed = 1;
inline constexpr std::uint32_t kExitWorkingObjectsFailed = 2;
inline constexpr std::uint32_t kExitEnglishLanguageMissing = 3;

inline constexpr const char* kInstalled = "Service installed successfully";
inline constexpr const char* kUninstalled = "Service uninstalled successfully";

}  // namespace kxp::texts
