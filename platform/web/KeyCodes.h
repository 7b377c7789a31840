// KeyCodes: the page's keys as the window's. A browser names a physical key
// by KeyboardEvent.code ("Digit4", "Numpad4", "ArrowLeft"); the window
// server wants its PC set-1 scan code, the same one platform/Window.cpp's
// Set1ScanCode gives for that key (the E0 prefix dropped: ArrowLeft and
// Numpad4 both 4BH), so that the digit row and the keypad behave as in the
// window. No browser headers: the table is checked natively against the
// window's (tests/platform/WebKeysTest.cpp).
// Depends on: nothing.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace Platform::KeyCodes {

struct Key {
  const char* code;      // KeyboardEvent.code
  std::uint16_t usage;   // the key's USB HID usage (keyboard page), as the code is defined
  std::uint8_t scan;     // PC set-1 scan code
};

// Every key the window knows, once.
std::span<const Key> Table();

// The set-1 scan code of a KeyboardEvent.code; 0 for a key the window does
// not know either.
std::uint8_t ScanOfCode(std::string_view code);

// The set-1 scan code of a USB usage; 0 when the table has none.
std::uint8_t ScanOfUsage(int usage);

// Whether the page keeps a key from the browser (preventDefault): yes for
// the keys the game may read, typed alone or with Shift; never for the
// function keys, Tab, Escape, the modifiers themselves, or anything with
// Ctrl, Alt or Meta held (F5, Ctrl+R, F11, Ctrl+W, Alt+Left stay the
// browser's). The key reaches the game either way.
bool KeepFromBrowser(std::string_view code, bool ctrl, bool alt, bool meta);

}  // namespace Platform::KeyCodes
