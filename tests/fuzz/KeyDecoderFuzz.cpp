// Fuzz target: the terminal's key decoder. The input is a script of reads:
// each read is a control byte and up to 31 bytes of terminal input; the
// control byte also says whether the ESC wait expires after the read and
// whether a cursor report is awaited from there on. Checked:
//  - every record is one a real key gives: one of the records the decoder
//    makes from the complete sequence of a key it knows (all characters,
//    Esc + character, every cursor, editing, function and keypad key in each
//    of its forms and with each modifier), each made on its own at start-up;
//  - a cursor report comes only while one is awaited, and ends the waiting;
//  - the split of the bytes into reads changes nothing: the same bytes fed
//    in one read per quiet spell give the same events;
//  - after the wait has expired nothing is pending, and at the end a key
//    typed on its own comes out at once and alone;
//  - in the other mode of the input (first byte above 7FH): real keys typed
//    one after another, read in any split, come out exactly as typed.
#include "platform/KeyDecoder.h"
#include "tests/fuzz/FuzzCheck.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <tuple>
#include <vector>

using namespace Platform;
using Platform::KeyDecoder::Event;

namespace {

struct Decoder {
  KeyDecoder::State state;
  std::vector<Event> events;

  static void Collect(const Event& e, void* self) { static_cast<Decoder*>(self)->events.push_back(e); }
  void Feed(const std::string& bytes) {
    KeyDecoder::Feed(state, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), Collect, this);
  }
  void Expire() { KeyDecoder::Expire(state, Collect, this); }
};

using Record = std::tuple<std::uint16_t, std::uint16_t, std::uint16_t, std::uint32_t>;  // scan, vk, ch, state

Record Of(const Event& e) {
  const KeyEventRecord& k = e.record.Event.KeyEvent;
  return {k.wVirtualScanCode, k.wVirtualKeyCode, k.uChar, k.dwControlKeyState};
}

// The one key of a complete sequence typed on its own (and the quiet spell
// after it, which settles a lone ESC and the bare ESC [ and ESC O).
Event OneKey(const std::string& sequence) {
  Decoder d;
  d.Feed(sequence);
  d.Expire();
  FUZZ_CHECK(d.events.size() == 1 && d.events[0].kind == Event::Kind::Key,
             "a real key's sequence (%zu bytes, first %02X) gave %zu events", sequence.size(),
             sequence.empty() ? 0 : static_cast<unsigned char>(sequence[0]), d.events.size());
  return d.events[0];
}

// The complete sequence of every key the decoder knows.
std::vector<std::string> KeySequences() {
  std::vector<std::string> sequences;
  for (int b = 0; b < 0x80; ++b) {
    sequences.push_back(std::string(1, static_cast<char>(b)));          // the key itself, lone Esc included
    if (b != 0x1B) sequences.push_back("\x1b" + std::string(1, static_cast<char>(b)));  // Alt + key
  }
  const std::string letters = "ABCDHFEPQRS";
  const std::string keypad = "pqrstuvwxyMojkmn";
  for (int m = 1; m <= 8; ++m) {
    const std::string mod = std::to_string(m);
    for (char f : letters) {
      sequences.push_back("\x1b[1;" + mod + f);
      sequences.push_back("\x1bO" + mod + f);
    }
    for (char f : keypad) sequences.push_back("\x1bO" + mod + f);
    for (int code : {1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 13, 14, 15, 17, 18, 19, 20, 21, 23, 24})
      sequences.push_back("\x1b[" + std::to_string(code) + ";" + mod + "~");
  }
  for (char f = 'A'; f <= 'E'; ++f) sequences.push_back(std::string("\x1b[[") + f);  // Linux console F1-F5
  sequences.push_back("\x1b[Z");                                                       // Shift+Tab
  return sequences;
}

// Every record a real key gives.
std::set<Record> RealKeys() {
  std::set<Record> keys;
  for (const std::string& s : KeySequences()) {
    const Event e = OneKey(s);
    const KeyEventRecord& k = e.record.Event.KeyEvent;
    // What any key-down record of a US keyboard looks like, whatever the table says.
    FUZZ_CHECK(e.record.EventType == KEY_EVENT && k.bKeyDown == 1 && k.wRepeatCount == 1,
               "not a key-down record");
    FUZZ_CHECK(k.wVirtualScanCode >= 0x01 && k.wVirtualScanCode <= 0x58 && k.uChar < 0x80 &&
                   (k.dwControlKeyState & ~(SHIFT_PRESSED | LEFT_ALT_PRESSED | LEFT_CTRL_PRESSED |
                                            ENHANCED_KEY | NUMLOCK_ON)) == 0,
               "scan %02X ch %02X state %04X", k.wVirtualScanCode, k.uChar, k.dwControlKeyState);
    keys.insert(Of(e));
  }
  return keys;
}

// A quiet spell: reads that follow each other closely, then the ESC wait
// expires. A cursor report is awaited from the spell's start when its first
// control byte says so.
struct Spell {
  std::vector<std::string> reads;
  bool cursorWanted = false;
};

std::vector<Spell> Script(const std::uint8_t* data, std::size_t size) {
  std::vector<Spell> spells(1);
  std::size_t at = 0;
  while (at < size) {
    const std::uint8_t control = data[at++];
    const std::size_t n = std::min<std::size_t>(control & 0x1F, size - at);
    Spell& spell = spells.back();
    if (spell.reads.empty()) spell.cursorWanted = (control & 0x40) != 0;
    spell.reads.emplace_back(reinterpret_cast<const char*>(data + at), n);
    at += n;
    if (control & 0x20) spells.emplace_back();
  }
  return spells;
}

void CheckEvents(const std::vector<Event>& events, const std::set<Record>& real) {
  for (const Event& e : events) {
    if (e.kind == Event::Kind::CursorReport) {
      FUZZ_CHECK(e.row > 0 && e.column > 0, "cursor report %u;%u", e.row, e.column);
      continue;
    }
    FUZZ_CHECK(e.record.EventType == KEY_EVENT && e.record.Event.KeyEvent.bKeyDown == 1 &&
                   e.record.Event.KeyEvent.wRepeatCount == 1,
               "not a key-down record");
    const auto [scan, vk, ch, state] = Of(e);
    FUZZ_CHECK(real.count(Of(e)) == 1, "no real key gives scan %02X vk %02X ch %02X state %04X", scan, vk, ch,
               state);
  }
}

bool SameEvents(const std::vector<Event>& a, const std::vector<Event>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].kind != b[i].kind) return false;
    if (a[i].kind == Event::Kind::Key ? Of(a[i]) != Of(b[i]) : a[i].row != b[i].row || a[i].column != b[i].column)
      return false;
  }
  return true;
}

// Real keys typed one after the other: three bytes a key, two saying which
// and one how the bytes are read (1 to 8 at a time, so a read may hold the
// end of one key and the start of the next). The wait expires only where a
// person typing must pause for the terminal to tell the keys apart: after a
// lone ESC, ESC [ and ESC O. Out come exactly the keys typed, in order.
void TypedKeys(const std::uint8_t* data, std::size_t size) {
  static const std::vector<std::string> sequences = KeySequences();
  static const std::vector<Record> records = [] {
    std::vector<Record> r;
    for (const std::string& s : sequences) r.push_back(Of(OneKey(s)));
    return r;
  }();
  Decoder d;
  std::vector<Record> typed;
  std::string unread;  // typed, not yet read by the decoder
  std::size_t chunk = 1;
  auto read = [&](bool all) {
    while (unread.size() >= chunk || (all && !unread.empty())) {
      const std::size_t n = std::min(chunk, unread.size());
      d.Feed(unread.substr(0, n));
      unread.erase(0, n);
    }
  };
  for (std::size_t at = 0; at + 3 <= size; at += 3) {
    const std::size_t key = (std::size_t{data[at]} << 8 | data[at + 1]) % sequences.size();
    chunk = 1 + data[at + 2] % 8;
    typed.push_back(records[key]);
    unread += sequences[key];
    const std::string& s = sequences[key];
    if (s == "\x1b" || s == "\x1b[" || s == "\x1bO") {
      read(true);
      d.Expire();
    } else {
      read(false);
    }
  }
  read(true);
  d.Expire();
  std::vector<Record> got;
  for (const Event& e : d.events) {
    FUZZ_CHECK(e.kind == Event::Kind::Key, "a cursor report from typed keys");
    got.push_back(Of(e));
  }
  FUZZ_CHECK(got == typed, "%zu keys typed, %zu came, or not the same", typed.size(), got.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::set<Record> real = RealKeys();
  // A first byte with its top bit set: real keys typed; else any bytes.
  if (size > 0 && (data[0] & 0x80)) {
    TypedKeys(data + 1, size - 1);
    return 0;
  }
  const std::vector<Spell> spells = Script(data, size);

  // As read: one Feed per read, the wait expiring after each spell.
  Decoder split;
  for (const Spell& spell : spells) {
    split.state.expectCursorReport = spell.cursorWanted;
    int reports = 0;
    for (const std::string& read : spell.reads) {
      const std::size_t before = split.events.size();
      split.Feed(read);
      for (std::size_t i = before; i < split.events.size(); ++i) {
        if (split.events[i].kind != Event::Kind::CursorReport) continue;
        FUZZ_CHECK(spell.cursorWanted && ++reports == 1, "a cursor report while none was awaited");
        FUZZ_CHECK(!split.state.expectCursorReport, "still awaiting a cursor report after one came");
      }
    }
    split.Expire();
    FUZZ_CHECK(!KeyDecoder::Pending(split.state), "bytes still pending after the wait expired");
  }
  CheckEvents(split.events, real);

  // The same bytes in one read per spell.
  Decoder whole;
  for (const Spell& spell : spells) {
    std::string bytes;
    for (const std::string& read : spell.reads) bytes += read;
    whole.state.expectCursorReport = spell.cursorWanted;
    whole.Feed(bytes);
    whole.Expire();
  }
  FUZZ_CHECK(SameEvents(split.events, whole.events), "the split into reads changed the events: %zu against %zu",
             split.events.size(), whole.events.size());

  // Whatever came before, a key typed now is that key, at once and alone.
  const std::size_t before = split.events.size();
  split.Feed("\x1b[A");
  FUZZ_CHECK(split.events.size() == before + 1 && split.events.back().kind == Event::Kind::Key &&
                 Of(split.events.back()) == Of(OneKey("\x1b[A")),
             "Up after the input did not come out alone and at once");
  return 0;
}
