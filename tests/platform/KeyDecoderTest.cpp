// The terminal's key decoder: byte sequences of xterm, tmux and the Linux
// console to the records a Windows console on a US keyboard delivers; split
// reads, the lone Esc, garbage.
#include "platform/KeyDecoder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace Platform;
using Platform::KeyDecoder::Event;

namespace {

struct Key {
  std::uint16_t scan;
  std::uint8_t ch;
  std::uint32_t state;
  bool operator==(const Key&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Key& k) {
  char text[64];
  std::snprintf(text, sizeof text, "{scan %02X, ch %02X, state %04X}", k.scan, k.ch, k.state);
  return os << text;
}

struct Decoder {
  KeyDecoder::State state;
  std::vector<Event> events;

  static void Collect(const Event& e, void* self) { static_cast<Decoder*>(self)->events.push_back(e); }

  Decoder& Feed(std::string_view bytes) {
    KeyDecoder::Feed(state, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), Collect, this);
    return *this;
  }
  Decoder& Expire() {
    KeyDecoder::Expire(state, Collect, this);
    return *this;
  }
  std::vector<Key> Keys() const {
    std::vector<Key> keys;
    for (const Event& e : events) {
      EXPECT_EQ(e.kind, Event::Kind::Key);
      const KeyEventRecord& k = e.record.Event.KeyEvent;
      keys.push_back({k.wVirtualScanCode, static_cast<std::uint8_t>(k.uChar), k.dwControlKeyState});
    }
    return keys;
  }
};

std::vector<Key> Decode(std::string_view bytes) { return Decoder().Feed(bytes).Expire().Keys(); }

constexpr std::uint32_t S = SHIFT_PRESSED, A = LEFT_ALT_PRESSED, C = LEFT_CTRL_PRESSED, E = ENHANCED_KEY;

TEST(KeyDecoder, CharactersCarryTheirKeysScanCodeAndShift) {
  EXPECT_EQ(Decode("4"), (std::vector<Key>{{0x05, '4', 0}}));
  EXPECT_EQ(Decode("q"), (std::vector<Key>{{0x10, 'q', 0}}));
  EXPECT_EQ(Decode("A"), (std::vector<Key>{{0x1E, 'A', S}}));
  EXPECT_EQ(Decode("!"), (std::vector<Key>{{0x02, '!', S}}));
  EXPECT_EQ(Decode("\""), (std::vector<Key>{{0x28, '"', S}}));
  EXPECT_EQ(Decode("|"), (std::vector<Key>{{0x2B, '|', S}}));
  EXPECT_EQ(Decode("/"), (std::vector<Key>{{0x35, '/', 0}}));
  EXPECT_EQ(Decode(" "), (std::vector<Key>{{0x39, ' ', 0}}));
  EXPECT_EQ(Decode("`~"), (std::vector<Key>{{0x29, '`', 0}, {0x29, '~', S}}));
}

TEST(KeyDecoder, EveryPrintableCharacterIsOneKeyDownOfItsOwn) {
  for (int c = 0x20; c < 0x7F; ++c) {
    Decoder d;
    d.Feed(std::string(1, static_cast<char>(c)));
    ASSERT_EQ(d.events.size(), 1u) << "character " << c;
    const InputRecord& r = d.events[0].record;
    EXPECT_EQ(r.EventType, KEY_EVENT);
    EXPECT_EQ(r.Event.KeyEvent.bKeyDown, 1);
    EXPECT_EQ(r.Event.KeyEvent.wRepeatCount, 1);
    EXPECT_EQ(r.Event.KeyEvent.uChar, c);
    EXPECT_NE(r.Event.KeyEvent.wVirtualKeyCode, 0) << "character " << c;
    EXPECT_FALSE(KeyDecoder::Pending(d.state));
  }
}

TEST(KeyDecoder, ControlCharactersAreCtrlKeysEnterTabAndBackspace) {
  EXPECT_EQ(Decode("\x01"), (std::vector<Key>{{0x1E, 0x01, C}}));  // Ctrl+A
  EXPECT_EQ(Decode("\x1A"), (std::vector<Key>{{0x2C, 0x1A, C}}));  // Ctrl+Z
  EXPECT_EQ(Decode("\x08"), (std::vector<Key>{{0x23, 0x08, C}}));  // Ctrl+H
  EXPECT_EQ(Decode("\r"), (std::vector<Key>{{0x1C, 0x0D, 0}}));
  EXPECT_EQ(Decode("\t"), (std::vector<Key>{{0x0F, 0x09, 0}}));
  EXPECT_EQ(Decode("\x7F"), (std::vector<Key>{{0x0E, 0x08, 0}}));
  EXPECT_EQ(Decode(std::string(1, '\0')), (std::vector<Key>{{0x03, 0x00, C}}));  // Ctrl+2
  EXPECT_EQ(Decode("\x1F"), (std::vector<Key>{{0x0C, 0x1F, C | S}}));  // Ctrl+_
}

TEST(KeyDecoder, GreyKeysAreEnhancedWithoutCharacterInEveryForm) {
  struct Case {
    const char* bytes;
    std::uint16_t scan;
  } cases[] = {
      {"\x1b[A", 0x48}, {"\x1b[B", 0x50}, {"\x1b[C", 0x4D}, {"\x1b[D", 0x4B},   // normal cursor mode
      {"\x1bOA", 0x48}, {"\x1bOD", 0x4B},                                     // application cursor mode
      {"\x1b[1~", 0x47}, {"\x1b[H", 0x47}, {"\x1b[7~", 0x47}, {"\x1bOH", 0x47},  // Home
      {"\x1b[4~", 0x4F}, {"\x1b[F", 0x4F}, {"\x1b[8~", 0x4F},                  // End
      {"\x1b[2~", 0x52}, {"\x1b[3~", 0x53}, {"\x1b[5~", 0x49}, {"\x1b[6~", 0x51},
  };
  for (const Case& c : cases) EXPECT_EQ(Decode(c.bytes), (std::vector<Key>{{c.scan, 0, E}})) << c.bytes + 1;
}

TEST(KeyDecoder, FunctionKeysInXtermAndLinuxConsoleForms) {
  const char* xterm[12] = {"\x1bOP",   "\x1bOQ",   "\x1bOR",   "\x1bOS",   "\x1b[15~", "\x1b[17~",
                           "\x1b[18~", "\x1b[19~", "\x1b[20~", "\x1b[21~", "\x1b[23~", "\x1b[24~"};
  const std::uint16_t scans[12] = {0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x57, 0x58};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(Decode(xterm[i]), (std::vector<Key>{{scans[i], 0, 0}})) << "F" << i + 1;
  EXPECT_EQ(Decode("\x1b[11~\x1b[[A\x1b[[E"), (std::vector<Key>{{0x3B, 0, 0}, {0x3B, 0, 0}, {0x3F, 0, 0}}));
}

TEST(KeyDecoder, XtermModifierParameterGivesShiftAltCtrl) {
  EXPECT_EQ(Decode("\x1b[1;2P"), (std::vector<Key>{{0x3B, 0, S}}));  // Shift+F1
  EXPECT_EQ(Decode("\x1bO2P"), (std::vector<Key>{{0x3B, 0, S}}));    // the same, older form
  EXPECT_EQ(Decode("\x1b[1;2D"), (std::vector<Key>{{0x4B, 0, E | S}}));
  EXPECT_EQ(Decode("\x1b[1;3D"), (std::vector<Key>{{0x4B, 0, E | A}}));
  EXPECT_EQ(Decode("\x1b[1;5D"), (std::vector<Key>{{0x4B, 0, E | C}}));
  EXPECT_EQ(Decode("\x1b[1;8A"), (std::vector<Key>{{0x48, 0, E | S | A | C}}));
  EXPECT_EQ(Decode("\x1b[5;5~"), (std::vector<Key>{{0x49, 0, E | C}}));  // Ctrl+PgUp
  EXPECT_EQ(Decode("\x1b[24;2~"), (std::vector<Key>{{0x58, 0, S}}));     // Shift+F12
  EXPECT_EQ(Decode("\x1b[Z"), (std::vector<Key>{{0x0F, 0x09, S}}));      // Shift+Tab
}

TEST(KeyDecoder, EscPrefixIsAlt) {
  EXPECT_EQ(Decode("\x1b" "1"), (std::vector<Key>{{0x02, '1', A}}));
  EXPECT_EQ(Decode("\x1bx"), (std::vector<Key>{{0x2D, 'x', A}}));
  EXPECT_EQ(Decode("\x1bX"), (std::vector<Key>{{0x2D, 'X', A | S}}));
  EXPECT_EQ(Decode("\x1b\x01"), (std::vector<Key>{{0x1E, 0x01, A | C}}));
  EXPECT_EQ(Decode("\x1b\x7F"), (std::vector<Key>{{0x0E, 0x08, A}}));
}

TEST(KeyDecoder, LoneEscWaitsForTheQuietSpellThenIsEsc) {
  Decoder d;
  d.Feed("\x1b");
  EXPECT_TRUE(d.events.empty());
  EXPECT_TRUE(KeyDecoder::Pending(d.state));
  d.Expire();
  EXPECT_EQ(d.Keys(), (std::vector<Key>{{0x01, 0x1B, 0}}));
  EXPECT_FALSE(KeyDecoder::Pending(d.state));
  // ESC [ and ESC O with nothing after them were Alt+[ and Alt+O.
  EXPECT_EQ(Decode("\x1b["), (std::vector<Key>{{0x1A, '[', A}}));
  EXPECT_EQ(Decode("\x1bO"), (std::vector<Key>{{0x18, 'O', A | S}}));
  // Esc twice: the first is a key at once, the second may start a sequence.
  EXPECT_EQ(Decode("\x1b\x1b[A"), (std::vector<Key>{{0x01, 0x1B, 0}, {0x48, 0, E}}));
}

TEST(KeyDecoder, SequenceSplitOverReadsIsOneKeyAfterItsLastByte) {
  Decoder d;
  d.Feed("4\x1b");
  EXPECT_EQ(d.events.size(), 1u);
  d.Feed("[1;");
  EXPECT_EQ(d.events.size(), 1u);
  EXPECT_TRUE(KeyDecoder::Pending(d.state));
  d.Feed("2Pq");
  EXPECT_EQ(d.Keys(), (std::vector<Key>{{0x05, '4', 0}, {0x3B, 0, S}, {0x10, 'q', 0}}));
  EXPECT_FALSE(KeyDecoder::Pending(d.state));
}

TEST(KeyDecoder, UnknownAndMalformedSequencesAreDroppedWhole) {
  const char* garbage[] = {
      "\x1b[99~",        // no such key
      "\x1b[1;9A",       // modifier out of range
      "\x1b[2;2A",       // a count on a cursor key
      "\x1b[?1;2c",      // a device attributes answer
      "\x1b[<0;10;5M",   // an SGR mouse report
      "\x1b[200~",       // bracketed paste mark
      "\x1b[I",          // focus in
      "\x1b[1;2;3A",     // three parameters
      "\x1b[12;40R",     // a cursor report nobody asked for
      "\x1bOX",          // keypad = (no PC key)
      "\x1b[[Z",         // Linux console, no such F key
      "\xC3\xA9",        // UTF-8 e-acute: no US key types it
      "\x1b\xC3\xA9",    // the same with Alt
      "\x80\xBF\xFF\xC0",  // bytes that start nothing
  };
  for (const char* g : garbage) {
    Decoder d;
    d.Feed(g).Feed("x");
    EXPECT_EQ(d.Keys(), (std::vector<Key>{{0x2D, 'x', 0}})) << "after garbage " << ::testing::PrintToString(std::string(g));
  }
  std::string overlong = "\x1b[" + std::string(200, '1') + "A";
  EXPECT_EQ(Decoder().Feed(overlong).Feed("x").Keys(), (std::vector<Key>{{0x2D, 'x', 0}}));
}

TEST(KeyDecoder, ControlByteCutsASequenceShortAndCountsAsItsKey) {
  EXPECT_EQ(Decode("\x1b[1\r"), (std::vector<Key>{{0x1C, 0x0D, 0}}));
  EXPECT_EQ(Decode("\x1b[1;\x1b[B"), (std::vector<Key>{{0x50, 0, E}}));
  EXPECT_EQ(Decode("\x1b[1;2"), (std::vector<Key>{}));  // cut short by the wait
}

TEST(KeyDecoder, CursorReportOnlyWhileOneIsAwaited) {
  Decoder d;
  d.state.expectCursorReport = true;
  d.Feed("\x1b[12;40R");
  ASSERT_EQ(d.events.size(), 1u);
  EXPECT_EQ(d.events[0].kind, Event::Kind::CursorReport);
  EXPECT_EQ(d.events[0].row, 12);
  EXPECT_EQ(d.events[0].column, 40);
  EXPECT_FALSE(d.state.expectCursorReport);
  EXPECT_EQ(Decode("\x1b[1;2R"), (std::vector<Key>{{0x3D, 0, S}}));  // otherwise Shift+F3
}

TEST(KeyDecoder, KeypadInApplicationModeTypesItsCharacters) {
  EXPECT_EQ(Decode("\x1bOt"), (std::vector<Key>{{0x4B, '4', NUMLOCK_ON}}));
  EXPECT_EQ(Decode("\x1bOM"), (std::vector<Key>{{0x1C, 0x0D, E}}));
  EXPECT_EQ(Decode("\x1bOo"), (std::vector<Key>{{0x35, '/', E}}));
  EXPECT_EQ(Decode("\x1bOk"), (std::vector<Key>{{0x4E, '+', 0}}));
}

// What a fuzzer checks: any bytes in any split never crash, give only records
// a real key could give, hold nothing back after the quiet spell, and leave
// the decoder ready for the next key.
TEST(KeyDecoder, ArbitraryBytesInArbitrarySplitsGiveOnlyRealKeys) {
  std::mt19937 random(20240611);
  const std::string alphabet = "\x1b[O;0123456789~ABCDHFPQRSZabq\r\x7F\x01\xC3\xA9\x80\xFF";
  for (int round = 0; round < 3000; ++round) {
    std::string bytes;
    int n = static_cast<int>(random() % 24);
    for (int i = 0; i < n; ++i)
      bytes += random() % 4 == 0 ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
    Decoder whole, split;
    whole.Feed(bytes);
    for (std::size_t at = 0; at < bytes.size();) {
      std::size_t len = 1 + random() % 4;
      split.Feed(std::string_view(bytes).substr(at, len));
      at += len;
    }
    ASSERT_EQ(whole.Keys(), split.Keys()) << "split changed the keys of " << ::testing::PrintToString(bytes);
    whole.Expire().Feed("q");
    ASSERT_FALSE(KeyDecoder::Pending(whole.state));
    ASSERT_FALSE(whole.events.empty());
    EXPECT_EQ(whole.Keys().back(), (Key{0x10, 'q', 0})) << ::testing::PrintToString(bytes);
    for (const Event& e : whole.events) {
      const KeyEventRecord& k = e.record.Event.KeyEvent;
      EXPECT_EQ(e.record.EventType, KEY_EVENT);
      EXPECT_EQ(k.bKeyDown, 1);
      EXPECT_EQ(k.wRepeatCount, 1);
      EXPECT_GE(k.wVirtualScanCode, 0x01);
      EXPECT_LE(k.wVirtualScanCode, 0x58);
      EXPECT_LT(k.uChar, 0x80);
      EXPECT_EQ(k.dwControlKeyState & ~(S | A | C | E | NUMLOCK_ON), 0u);
    }
  }
}

}  // namespace
