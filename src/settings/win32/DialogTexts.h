// Translating a dialog: every control whose identifier is a caption number (100 to 999) takes
// that caption in the user's language; the text of the resource script stays as the fallback.
#pragma once

#include <windows.h>

#include <string>

#include "settings/win32/SettingsPage.h"

namespace kxp::settings {

void TranslateDialog(HWND dialog, const SettingsHost& host);
// One control's text, by caption number, with its present text as the fallback.
void TranslateControl(HWND control, int number, const SettingsHost& host);

std::wstring WindowText(HWND window);

}  // namespace kxp::settings
