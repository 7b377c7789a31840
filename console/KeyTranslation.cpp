// KeyTranslation: the PC keyboard BIOS's tables and the translation of a
// key-down record into a key pair.
#include "console/KeyTranslation.h"

namespace EventQueue {

// ---------------------------------------------------------------- tables

namespace {
constexpr KeyPair NK{0, 0};  // no key
constexpr KeyPair C(std::uint8_t ch) { return {ch, 0}; }
constexpr KeyPair X(std::uint8_t scan) { return {0, scan}; }
constexpr std::uint8_t Cap(char c) { return static_cast<std::uint8_t>(c - 0x20); }
constexpr std::uint8_t Ctl(char c) { return static_cast<std::uint8_t>(c - 0x60); }
#define LETTER(c, s) {C(c), C(Cap(c)), C(Ctl(c)), X(s)}
#define FKEY(s) {X(s), X((s) + 0x19), X((s) + 0x23), X((s) + 0x2D)}
}  // namespace

// Columns: plain, Shift, Ctrl, Alt.
const KeyPair BiosKeyTable[kBiosRows][4] = {
    /* 00 */ {NK, NK, NK, NK},
    /* 01 Esc */ {C(0x1B), C(0x1B), C(0x1B), X(0x01)},
    /* 02 */ {C('1'), C('!'), NK, X(0x78)},
    /* 03 */ {C('2'), C('@'), X(0x03), X(0x79)},
    /* 04 */ {C('3'), C('#'), NK, X(0x7A)},
    /* 05 */ {C('4'), C('$'), NK, X(0x7B)},
    /* 06 */ {C('5'), C('%'), NK, X(0x7C)},
    /* 07 */ {C('6'), C('^'), C(0x1E), X(0x7D)},
    /* 08 */ {C('7'), C('&'), NK, X(0x7E)},
    /* 09 */ {C('8'), C('*'), NK, X(0x7F)},
    /* 0A */ {C('9'), C('('), NK, X(0x80)},
    /* 0B */ {C('0'), C(')'), NK, X(0x81)},
    /* 0C */ {C('-'), C('_'), C(0x1F), X(0x82)},
    /* 0D */ {C('='), C('+'), NK, X(0x83)},
    /* 0E Backspace */ {C(0x08), C(0x08), C(0x7F), X(0x0E)},
    /* 0F Tab */ {C(0x09), X(0x0F), X(0x94), X(0x0F)},
    /* 10 */ LETTER('q', 0x10),
    /* 11 */ LETTER('w', 0x11),
    /* 12 */ LETTER('e', 0x12),
    /* 13 */ LETTER('r', 0x13),
    /* 14 */ LETTER('t', 0x14),
    /* 15 */ LETTER('y', 0x15),
    /* 16 */ LETTER('u', 0x16),
    /* 17 */ LETTER('i', 0x17),
    /* 18 */ LETTER('o', 0x18),
    /* 19 */ LETTER('p', 0x19),
    /* 1A */ {C('['), C('{'), C(0x1B), X(0x1A)},
    /* 1B */ {C(']'), C('}'), C(0x1D), X(0x1B)},
    /* 1C Enter */ {C(0x0D), C(0x0D), C(0x0A), X(0x1C)},
    /* 1D Ctrl */ {NK, NK, NK, NK},
    /* 1E */ LETTER('a', 0x1E),
    /* 1F */ LETTER('s', 0x1F),
    /* 20 */ LETTER('d', 0x20),
    /* 21 */ LETTER('f', 0x21),
    /* 22 */ LETTER('g', 0x22),
    /* 23 */ LETTER('h', 0x23),
    /* 24 */ LETTER('j', 0x24),
    /* 25 */ LETTER('k', 0x25),
    /* 26 */ LETTER('l', 0x26),
    /* 27 */ {C(';'), C(':'), NK, X(0x27)},
    /* 28 */ {C('\''), C('"'), NK, X(0x28)},
    /* 29 */ {C('`'), C('~'), NK, X(0x29)},
    /* 2A left Shift */ {NK, NK, NK, NK},
    /* 2B */ {C('\\'), C('|'), C(0x1C), X(0x2B)},
    /* 2C */ LETTER('z', 0x2C),
    /* 2D */ LETTER('x', 0x2D),
    /* 2E */ LETTER('c', 0x2E),
    /* 2F */ LETTER('v', 0x2F),
    /* 30 */ LETTER('b', 0x30),
    /* 31 */ LETTER('n', 0x31),
    /* 32 */ LETTER('m', 0x32),
    /* 33 */ {C(','), C('<'), NK, X(0x33)},
    /* 34 */ {C('.'), C('>'), NK, X(0x34)},
    /* 35 */ {C('/'), C('?'), NK, X(0x35)},
    /* 36 right Shift */ {NK, NK, NK, NK},
    /* 37 keypad * */ {C('*'), C('*'), X(0x96), X(0x37)},
    /* 38 Alt */ {NK, NK, NK, NK},
    /* 39 Space */ {C(0x20), C(0x20), C(0x20), C(0x20)},
    /* 3A Caps Lock */ {NK, NK, NK, NK},
    /* 3B F1 */ FKEY(0x3B),
    /* 3C F2 */ FKEY(0x3C),
    /* 3D F3 */ FKEY(0x3D),
    /* 3E F4 */ FKEY(0x3E),
    /* 3F F5 */ FKEY(0x3F),
    /* 40 F6 */ FKEY(0x40),
    /* 41 F7 */ FKEY(0x41),
    /* 42 F8 */ FKEY(0x42),
    /* 43 F9 */ FKEY(0x43),
    /* 44 F10 */ FKEY(0x44),
    /* 45 Num Lock */ {NK, NK, NK, NK},
    /* 46 Scroll Lock */ {NK, NK, NK, NK},
    /* 47 keypad 7 */ {X(0x47), C('7'), X(0x77), NK},
    /* 48 keypad 8 */ {X(0x48), C('8'), X(0x8D), NK},
    /* 49 keypad 9 */ {X(0x49), C('9'), X(0x84), NK},
    /* 4A keypad - */ {C('-'), C('-'), X(0x8E), X(0x4A)},
    /* 4B keypad 4 */ {X(0x4B), C('4'), X(0x73), NK},
    /* 4C keypad 5 */ {NK, C('5'), NK, NK},
    /* 4D keypad 6 */ {X(0x4D), C('6'), X(0x74), NK},
    /* 4E keypad + */ {C('+'), C('+'), X(0x90), X(0x4E)},
    /* 4F keypad 1 */ {X(0x4F), C('1'), X(0x75), NK},
    /* 50 keypad 2 */ {X(0x50), C('2'), X(0x91), NK},
    /* 51 keypad 3 */ {X(0x51), C('3'), X(0x76), NK},
    /* 52 keypad 0 */ {X(0x52), C('0'), X(0x92), NK},
    /* 53 keypad . */ {X(0x53), C('.'), X(0x93), NK},
    /* 54 */ {NK, NK, NK, NK},
    /* 55 */ {NK, NK, NK, NK},
    /* 56 */ {NK, NK, NK, NK},
    /* 57 F11 */ {X(0x85), X(0x87), X(0x89), X(0x8B)},
    /* 58 F12 */ {X(0x86), X(0x88), X(0x8A), X(0x8C)},
};

#undef LETTER
#undef FKEY

// The grey keys (enhanced bit set). Ctrl+PgUp is [86] here, [84] in the
// keypad row; Shift+keypad / is (3F, E0).
const EnhancedKey EnhancedKeyTable[12] = {
    {0x1C, {{0x0D, 0xE0}, {0x0D, 0xE0}, {0x0A, 0xE0}, X(0xA6)}},  // keypad Enter
    {0x35, {{0x2F, 0xE0}, {0x3F, 0xE0}, X(0x95), X(0xA4)}},       // keypad /
    {0x47, {X(0x47), X(0x47), X(0x77), X(0x97)}},                 // Home
    {0x48, {X(0x48), X(0x48), X(0x8D), X(0x98)}},                 // Up
    {0x49, {X(0x49), X(0x49), X(0x86), X(0x99)}},                 // PgUp
    {0x4B, {X(0x4B), X(0x4B), X(0x73), X(0x9B)}},                 // Left
    {0x4D, {X(0x4D), X(0x4D), X(0x74), X(0x9D)}},                 // Right
    {0x4F, {X(0x4F), X(0x4F), X(0x75), X(0x9F)}},                 // End
    {0x50, {X(0x50), X(0x50), X(0x91), X(0xA0)}},                 // Down
    {0x51, {X(0x51), X(0x51), X(0x76), X(0xA1)}},                 // PgDn
    {0x52, {X(0x52), X(0x52), X(0x92), X(0xA2)}},                 // Insert
    {0x53, {X(0x53), X(0x53), X(0x93), X(0xA3)}},                 // Delete
};

bool Translate(const Platform::KeyEventRecord& event, KeyPair& key) {
  using namespace Platform;
  const std::uint32_t s = event.dwControlKeyState & ~(NUMLOCK_ON | SCROLLLOCK_ON | CAPSLOCK_ON);
  const auto ch = static_cast<std::uint8_t>(event.uChar);  // an 8-bit character in a 16-bit field
  const std::uint16_t scan = event.wVirtualScanCode;

  bool useChar;
  switch (s) {
    case 0x0001: case 0x0002: case 0x0004: case 0x0008:
    case 0x0100: case 0x0101: case 0x0102: case 0x0104: case 0x0108:
      useChar = false;  // one Alt or one Ctrl, the enhanced bit with or without them
      break;
    case 0x0010:
      useChar = ch != 0 && scan != 0x2A;
      break;
    default:
      useChar = ch != 0;
  }
  // Deliberate: with Shift and Alt (or Ctrl) held together the character
  // wins, so Alt+Shift+A is 'A' and the console's Shift+Tab is Tab.
  if (useChar) {
    key = {ch, 0};
    return true;
  }

  Column column = (s & (RIGHT_ALT_PRESSED | LEFT_ALT_PRESSED))     ? Alt
                  : (s & (RIGHT_CTRL_PRESSED | LEFT_CTRL_PRESSED)) ? Ctrl
                  : (s & SHIFT_PRESSED)                            ? Shift
                                                                   : Plain;
  if (s & ENHANCED_KEY) {
    bool found = false;
    for (const EnhancedKey& row : EnhancedKeyTable) {  // every row: a later equal one would win
      if (row.scan == scan) {
        key = row.pairs[column];
        found = true;
      }
    }
    return found;
  }
  if (scan >= kBiosRows) return false;
  if (BiosKeyTable[scan][column] == NK) return false;
  key = BiosKeyTable[scan][column];
  return true;
}

}  // namespace EventQueue
