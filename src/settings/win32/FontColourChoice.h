// The common dialogs for a figure's font and for colours, and how the page shows their results:
// a font as "Arial 8 bold", a colour as a filled owner-drawn button.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "config/TConfig.h"

namespace kxp::settings {

// UTF-16 to UTF-8, as the options store font names; text that is not UTF-16 comes out empty.
std::string Utf8(const std::wstring& text);

// A colour as the screen shows it: a system colour (0x80000000 plus an index) looked up.
COLORREF ScreenColour(TColor colour);

// The colour dialog, starting at colour; false (colour untouched) when the user cancels. The
// custom colours are the caller's, so that they last from one choice to the next.
bool ChooseColour(HWND owner, TColor& colour, std::array<COLORREF, 16>& custom);

// The font dialog for a figure's name, size and style; false (font untouched) when the user
// cancels. The colour is chosen on its own.
bool ChooseFigureFont(HWND owner, TFontOptions& font);

// "Arial 8", followed by the words for bold and italic where they apply.
std::wstring FontDescription(const TFontOptions& font, const std::wstring& bold,
                             const std::wstring& italic);

// An owner-drawn colour button: the colour inside a sunken frame, the focus shown around it.
void PaintColourButton(const DRAWITEMSTRUCT& item, COLORREF colour);

}  // namespace kxp::settings
