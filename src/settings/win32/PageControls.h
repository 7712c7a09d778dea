// Small helpers the pages share for their controls and texts.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/Win32Handles.h"

namespace kxp::settings {

void SetCheck(HWND page, int id, bool checked);
bool GetCheck(HWND page, int id);

// A whole number typed into an edit control; none when the text is not one.
std::optional<int> GetNumber(HWND page, int id);
void SetNumber(HWND page, int id, int value);

// Adds an item carrying data; its position.
LRESULT AddComboItem(HWND combo, const std::wstring& text, LPARAM data);
std::wstring ComboText(HWND combo, LRESULT index);

// Texts between the registry's system code page and the window's UTF-16.
std::wstring Widened(const std::string& text);
std::string Narrowed(const std::wstring& text);

// The button that restarts the program elevated carries the shield.
void SetElevationButton(HWND button);

// Tells the user why a value was refused, and puts the focus on its control.
void RefuseValue(HWND page, int id, const std::wstring& text);

}  // namespace kxp::settings
