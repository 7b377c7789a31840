// Code page 1252, the game's character set, as Unicode and as UTF-8: what
// the font and the terminal take. Both builds need it: the window's text,
// the terminal view and the making of the glyph table.
// Depends on: nothing.
#pragma once

#include <string>
#include <string_view>

namespace Platform {

// Code page 1252 to UTF-8. The five bytes the code page leaves undefined map
// to the control characters of the same number, as Windows maps them.
std::string Cp1252ToUtf8(std::string_view text);

// One code page 1252 character as Unicode, mapped the same way.
char32_t Cp1252ToUnicode(unsigned char c);

}  // namespace Platform
