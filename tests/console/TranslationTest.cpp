// The BIOS translation of key-down records: when the record's own character
// is used, how the column is chosen, every row of both tables in every
// column (checked against the tables written out in their own notation), and
// keys from the terminal and from the graphics window.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "console/EventQueue.h"
#include "platform/KeyDecoder.h"

using EventQueue::KeyPair;
using namespace Platform;

namespace {

std::optional<KeyPair> Tr(std::uint16_t scan, std::uint16_t ch, std::uint32_t state) {
  KeyEventRecord e;
  e.bKeyDown = 1;
  e.wRepeatCount = 1;
  e.wVirtualScanCode = scan;
  e.uChar = ch;
  e.dwControlKeyState = state;
  KeyPair k{0xEE, 0xEE};
  if (!EventQueue::Translate(e, k)) return std::nullopt;
  return k;
}

std::string Show(const std::optional<KeyPair>& k) {
  if (!k) return "none";
  char text[16];
  std::snprintf(text, sizeof text, "(%02X,%02X)", k->ch, k->scan);
  return text;
}

// One cell in the tables' notation: 'c' a character, hh a character code,
// [hh] character 0 with scan hh, (hh,hh) a pair, -- no key.
std::optional<KeyPair> Cell(const std::string& t) {
  if (t == "--") return std::nullopt;
  if (t.size() == 3 && t[0] == '\'') return KeyPair{static_cast<std::uint8_t>(t[1]), 0};
  if (t[0] == '[') return KeyPair{0, static_cast<std::uint8_t>(std::stoi(t.substr(1, 2), nullptr, 16))};
  if (t[0] == '(')
    return KeyPair{static_cast<std::uint8_t>(std::stoi(t.substr(1, 2), nullptr, 16)),
                   static_cast<std::uint8_t>(std::stoi(t.substr(4, 2), nullptr, 16))};
  return KeyPair{static_cast<std::uint8_t>(std::stoi(t, nullptr, 16)), 0};
}

constexpr std::uint32_t kColumnState[4] = {0, SHIFT_PRESSED, LEFT_CTRL_PRESSED, LEFT_ALT_PRESSED};
const char* const kColumnName[4] = {"plain", "Shift", "Ctrl", "Alt"};

void ExpectRow(std::uint16_t scan, const std::string& cells, std::uint32_t extra = 0) {
  std::istringstream in(cells);
  for (int col = 0; col < 4; ++col) {
    std::string cell;
    in >> cell;
    ASSERT_FALSE(cell.empty()) << cells;
    EXPECT_EQ(Show(Tr(scan, 0, kColumnState[col] | extra)), Show(Cell(cell)))
        << "scan " << std::hex << scan << ", " << kColumnName[col] << " column";
  }
}

// ---------------------------------------------------------------- step 2

TEST(Translation, OneAltOrOneCtrlOrTheEnhancedBitIgnoresTheCharacter) {
  // The event's 'Z' is never used: the table answers.
  EXPECT_EQ(Show(Tr(0x1E, 'Z', 0x0001)), "(00,1E)");  // right Alt: Alt column
  EXPECT_EQ(Show(Tr(0x1E, 'Z', 0x0002)), "(00,1E)");
  EXPECT_EQ(Show(Tr(0x1E, 'Z', 0x0004)), "(01,00)");  // right Ctrl: Ctrl column
  EXPECT_EQ(Show(Tr(0x1E, 'Z', 0x0008)), "(01,00)");
  EXPECT_EQ(Show(Tr(0x48, 'Z', 0x0100)), "(00,48)");
  EXPECT_EQ(Show(Tr(0x48, 'Z', 0x0101)), "(00,98)");
  EXPECT_EQ(Show(Tr(0x48, 'Z', 0x0102)), "(00,98)");
  EXPECT_EQ(Show(Tr(0x48, 'Z', 0x0104)), "(00,8D)");
  EXPECT_EQ(Show(Tr(0x48, 'Z', 0x0108)), "(00,8D)");
}

TEST(Translation, ShiftAloneUsesTheCharacterExceptOnTheLeftShiftKey) {
  EXPECT_EQ(Show(Tr(0x1E, 'A', 0x0010)), "(41,00)");
  EXPECT_EQ(Show(Tr(0x1E, 0, 0x0010)), "(41,00)");  // no character: the Shift column
  EXPECT_EQ(Show(Tr(0x2A, 'x', 0x0010)), "none");   // left Shift's own record
  EXPECT_EQ(Show(Tr(0x36, 0, 0x0010)), "none");     // right Shift
}

TEST(Translation, AnyOtherStateUsesANonZeroCharacterElseTheTable) {
  EXPECT_EQ(Show(Tr(0x10, 'q', 0)), "(71,00)");
  EXPECT_EQ(Show(Tr(0x1E, 0x01, 0x0018)), "(01,00)");  // Shift+Ctrl with a character
  EXPECT_EQ(Show(Tr(0x1E, 0, 0x0018)), "(01,00)");     // Ctrl column beats Shift
  EXPECT_EQ(Show(Tr(0x1E, 0, 0x000A)), "(00,1E)");     // Alt column beats Ctrl
  EXPECT_EQ(Show(Tr(0x1E, 0, 0x0003)), "(00,1E)");     // both Alts: not one of the single states
  EXPECT_EQ(Show(Tr(0x4B, '4', 0x0110)), "(34,00)");   // enhanced + Shift with a character
  EXPECT_EQ(Show(Tr(0x4B, 0, 0x0110)), "(00,4B)");     // and without: the enhanced Shift column
  EXPECT_EQ(Show(Tr(0x10, 0x100, 0)), "(71,00)");      // only the low 8 bits count: none, the table answers
}

TEST(Translation, LockBitsAreIgnored) {
  EXPECT_EQ(Show(Tr(0x1E, 'a', 0x0002 | NUMLOCK_ON | CAPSLOCK_ON | SCROLLLOCK_ON)), "(00,1E)");
  EXPECT_EQ(Show(Tr(0x2A, 'x', 0x0010 | CAPSLOCK_ON)), "none");
  EXPECT_EQ(Show(Tr(0x4B, '4', NUMLOCK_ON)), "(34,00)");  // a Num Lock keypad digit in the console
}

// ---------------------------------------------------------------- tables

TEST(BiosKeyTable, LetterRows) {
  struct Run {
    std::uint16_t first;
    const char* letters;
  } runs[] = {{0x10, "qwertyuiop"}, {0x1E, "asdfghjkl"}, {0x2C, "zxcvbnm"}};
  for (const Run& r : runs) {
    for (int i = 0; r.letters[i]; ++i) {
      char c = r.letters[i];
      char row[64];
      std::snprintf(row, sizeof row, "'%c' '%c' %02X [%02X]", c, c - 0x20, c - 0x60, r.first + i);
      ExpectRow(static_cast<std::uint16_t>(r.first + i), row);
    }
  }
}

TEST(BiosKeyTable, DigitRow) {
  const char* shifted = "!@#$%^&*()";
  for (int i = 0; i < 10; ++i) {
    std::uint16_t scan = static_cast<std::uint16_t>(0x02 + i);
    const char* ctrl = scan == 0x03 ? "[03]" : scan == 0x07 ? "1E" : "--";
    char row[64];
    std::snprintf(row, sizeof row, "'%c' '%c' %s [%02X]", "1234567890"[i], shifted[i], ctrl, 0x78 + i);
    ExpectRow(scan, row);
  }
}

TEST(BiosKeyTable, FunctionKeyRows) {
  for (std::uint16_t scan = 0x3B; scan <= 0x44; ++scan) {
    char row[64];
    std::snprintf(row, sizeof row, "[%02X] [%02X] [%02X] [%02X]", scan, scan + 0x19, scan + 0x23, scan + 0x2D);
    ExpectRow(scan, row);
  }
  ExpectRow(0x57, "[85] [87] [89] [8B]");
  ExpectRow(0x58, "[86] [88] [8A] [8C]");
}

TEST(BiosKeyTable, OtherRows) {
  const std::pair<std::uint16_t, const char*> rows[] = {
      {0x01, "1B 1B 1B [01]"},          {0x0C, "'-' '_' 1F [82]"},      {0x0D, "'=' '+' -- [83]"},
      {0x0E, "08 08 7F [0E]"},          {0x0F, "09 [0F] [94] [0F]"},    {0x1A, "'[' '{' 1B [1A]"},
      {0x1B, "']' '}' 1D [1B]"},        {0x1C, "0D 0D 0A [1C]"},        {0x27, "';' ':' -- [27]"},
      {0x28, "''' '\"' -- [28]"},       {0x29, "'`' '~' -- [29]"},      {0x2B, "'\\' '|' 1C [2B]"},
      {0x33, "',' '<' -- [33]"},        {0x34, "'.' '>' -- [34]"},      {0x35, "'/' '?' -- [35]"},
      {0x37, "'*' '*' [96] [37]"},      {0x39, "20 20 20 20"},          {0x47, "[47] '7' [77] --"},
      {0x48, "[48] '8' [8D] --"},       {0x49, "[49] '9' [84] --"},     {0x4A, "'-' '-' [8E] [4A]"},
      {0x4B, "[4B] '4' [73] --"},       {0x4C, "-- '5' -- --"},         {0x4D, "[4D] '6' [74] --"},
      {0x4E, "'+' '+' [90] [4E]"},      {0x4F, "[4F] '1' [75] --"},     {0x50, "[50] '2' [91] --"},
      {0x51, "[51] '3' [76] --"},       {0x52, "[52] '0' [92] --"},     {0x53, "[53] '.' [93] --"},
  };
  for (const auto& [scan, cells] : rows) ExpectRow(scan, cells);
}

TEST(BiosKeyTable, ModifierLockAndEmptyRowsGiveNoKey) {
  for (std::uint16_t scan : {0x00, 0x1D, 0x2A, 0x36, 0x38, 0x3A, 0x45, 0x46, 0x54, 0x55, 0x56})
    ExpectRow(scan, "-- -- -- --");
  for (std::uint16_t scan : {0x59, 0x63, 0x7F, 0xFF, 0x110}) ExpectRow(scan, "-- -- -- --");
}

TEST(EnhancedKeyTable, AllRows) {
  const std::pair<std::uint16_t, const char*> rows[] = {
      {0x1C, "(0D,E0) (0D,E0) (0A,E0) [A6]"}, {0x35, "(2F,E0) (3F,E0) [95] [A4]"},
      {0x47, "[47] [47] [77] [97]"},          {0x48, "[48] [48] [8D] [98]"},
      {0x49, "[49] [49] [86] [99]"},          {0x4B, "[4B] [4B] [73] [9B]"},
      {0x4D, "[4D] [4D] [74] [9D]"},          {0x4F, "[4F] [4F] [75] [9F]"},
      {0x50, "[50] [50] [91] [A0]"},          {0x51, "[51] [51] [76] [A1]"},
      {0x52, "[52] [52] [92] [A2]"},          {0x53, "[53] [53] [93] [A3]"},
  };
  for (const auto& [scan, cells] : rows) ExpectRow(scan, cells, ENHANCED_KEY);
  // Right Ctrl and right Alt carry the enhanced bit but have no row.
  ExpectRow(0x1D, "-- -- -- --", ENHANCED_KEY);
  ExpectRow(0x38, "-- -- -- --", ENHANCED_KEY);
}

// ---------------------------------------------------------------- the two roads

TEST(Translation, KeysFromTheGraphicsWindowGoByScanCodeAndModifiersAlone) {
  EXPECT_EQ(Show(Tr(0x10, 0, 0)), "(71,00)");              // q
  EXPECT_EQ(Show(Tr(0x1E, 0, SHIFT_PRESSED)), "(41,00)");  // Shift+A
  EXPECT_EQ(Show(Tr(0x05, 0, 0)), "(34,00)");              // the digit row's 4
  EXPECT_EQ(Show(Tr(0x4B, 0, 0)), "(00,4B)");              // grey Left or keypad 4: no E0 bit here
  EXPECT_EQ(Show(Tr(0x4B, 0, SHIFT_PRESSED)), "(34,00)");  // with Shift it is the digit
  EXPECT_EQ(Show(Tr(0x02, 0, LEFT_ALT_PRESSED)), "(00,78)");
}

struct TerminalKey {
  const char* bytes;
  const char* expected;
};

std::string ThroughTerminal(std::string_view bytes) {
  KeyDecoder::State state;
  std::vector<InputRecord> records;
  auto collect = [](const KeyDecoder::Event& e, void* out) {
    static_cast<std::vector<InputRecord>*>(out)->push_back(e.record);
  };
  KeyDecoder::Feed(state, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), collect, &records);
  KeyDecoder::Expire(state, collect, &records);
  if (records.size() != 1) return "records: " + std::to_string(records.size());
  KeyPair k;
  if (!EventQueue::Translate(records[0].Event.KeyEvent, k)) return "none";
  // What getKey delivers: the table's scan, or the key's own when that is 0.
  if (k.scan == 0) k.scan = static_cast<std::uint8_t>(records[0].Event.KeyEvent.wVirtualScanCode);
  return Show(k);
}

TEST(Translation, KeysFromTheTerminalArriveAsTheTablesSay) {
  const TerminalKey keys[] = {
      {"4", "(34,05)"},           {"q", "(71,10)"},        {"A", "(41,1E)"},
      {"\x1b[D", "(00,4B)"},      {"\x1bOP", "(00,3B)"},   {"\x1b[1;2P", "(00,54)"},
      {"\x1b" "1", "(00,78)"},    {"\x01", "(01,1E)"},     {"\x1b", "(1B,01)"},
      {"\r", "(0D,1C)"},          {"\x7F", "(08,0E)"},     {"\x1b[5;5~", "(00,86)"},
      {"\x1b[24~", "(00,86)"},    {"\x1b[1;5D", "(00,73)"}, {"\x1bOM", "(0D,E0)"},
  };
  for (const TerminalKey& k : keys)
    EXPECT_EQ(ThroughTerminal(k.bytes), k.expected) << ::testing::PrintToString(std::string(k.bytes));
  // Every printable character arrives as itself, with its key's scan code.
  for (int c = 0x20; c < 0x7F; ++c) {
    std::string got = ThroughTerminal(std::string(1, static_cast<char>(c)));
    char ch[4];
    std::snprintf(ch, sizeof ch, "%02X", c);
    EXPECT_EQ(got.substr(0, 4), std::string("(") + ch + ",") << "character " << c;
    EXPECT_NE(got.substr(4, 2), "00") << "character " << c;
  }
}

}  // namespace
