// What the two machine-option pages share beyond the common page controls: texts of the resource
// string table in the user's language, whole-number fields with a range check that names the
// field, and the read-only state of a page the user may not change.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "settings/win32/SettingsPage.h"

namespace kxp::settings {

void EnableControl(HWND page, int id, bool enabled);

// The string table's text of a caption number, in the user's language when it has one.
std::wstring PageText(const SettingsHost& host, int number);

// The number in the field; when it is not a whole number from minimum to maximum, a message box
// (range text messageNumber, "%1" the field's label, "%2" and "%3" the bounds) tells the user,
// the field gets the focus and value stays as it was. A disabled field without a valid number
// leaves value as it is and passes.
bool TakeNumber(HWND page, const SettingsHost& host, int id, int labelId, int messageNumber,
                std::int32_t minimum, std::int32_t maximum, std::int32_t& value);

// A page the user may not change: its edit fields read-only, its other controls disabled, and
// the note with the shield button that restarts the program elevated shown; all undone when
// writable.
void ShowWritable(HWND page, bool writable, std::span<const int> edits, std::span<const int> others,
                  int shieldButton, int shieldNote);

}  // namespace kxp::settings
