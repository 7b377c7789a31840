// The terminal's key decoder: a byte-at-a-time state machine and the US
// keyboard it pretends to be.
#include "platform/KeyDecoder.h"

#include <array>

namespace Platform::KeyDecoder {
namespace {

// ---------------------------------------------------------------- the keyboard

struct KeyCap {
  std::uint8_t scan = 0;
  std::uint8_t vk = 0;
  bool shift = false;
};

constexpr std::uint8_t OemVk(char plain) {
  switch (plain) {
    case ';': return 0xBA;
    case '=': return 0xBB;
    case ',': return 0xBC;
    case '-': return 0xBD;
    case '.': return 0xBE;
    case '/': return 0xBF;
    case '`': return 0xC0;
    case '[': return 0xDB;
    case '\\': return 0xDC;
    case ']': return 0xDD;
    case '\'': return 0xDE;
    default: return 0;
  }
}

// Which key of a US keyboard types each printable ASCII character.
constexpr std::array<KeyCap, 128> MakeUsLayout() {
  struct Row {
    std::uint8_t firstScan;
    const char* plain;
    const char* shifted;
  };
  constexpr Row rows[] = {
      {0x02, "1234567890-=", "!@#$%^&*()_+"},
      {0x10, "qwertyuiop[]", "QWERTYUIOP{}"},
      {0x1E, "asdfghjkl;'`", "ASDFGHJKL:\"~"},
      {0x2B, "\\zxcvbnm,./", "|ZXCVBNM<>?"},
  };
  std::array<KeyCap, 128> layout{};
  for (const Row& row : rows) {
    for (int i = 0; row.plain[i] != '\0'; ++i) {
      char p = row.plain[i];
      std::uint8_t vk = (p >= 'a' && p <= 'z') ? static_cast<std::uint8_t>(p - 0x20)
                        : (p >= '0' && p <= '9') ? static_cast<std::uint8_t>(p)
                                                 : OemVk(p);
      auto scan = static_cast<std::uint8_t>(row.firstScan + i);
      layout[static_cast<unsigned char>(p)] = {scan, vk, false};
      layout[static_cast<unsigned char>(row.shifted[i])] = {scan, vk, true};
    }
  }
  layout[' '] = {0x39, 0x20, false};
  return layout;
}

constexpr std::array<KeyCap, 128> kUsLayout = MakeUsLayout();

constexpr std::uint32_t kShift = SHIFT_PRESSED;
constexpr std::uint32_t kAlt = LEFT_ALT_PRESSED;
constexpr std::uint32_t kCtrl = LEFT_CTRL_PRESSED;

InputRecord KeyDown(std::uint8_t scan, std::uint8_t vk, std::uint8_t ch, std::uint32_t state) {
  InputRecord r;
  r.EventType = KEY_EVENT;
  r.Event.KeyEvent.bKeyDown = 1;
  r.Event.KeyEvent.wRepeatCount = 1;
  r.Event.KeyEvent.wVirtualKeyCode = vk;
  r.Event.KeyEvent.wVirtualScanCode = scan;
  r.Event.KeyEvent.uChar = ch;
  r.Event.KeyEvent.dwControlKeyState = state;
  return r;
}

// A key that is not a character of its own: a grey key, a function key, a
// keypad key in application mode.
struct SpecialKey {
  std::uint8_t scan;
  std::uint8_t vk;
  std::uint8_t ch;
  std::uint32_t state;  // enhanced bit, Num Lock for the keypad's digits
};

constexpr std::uint32_t kEnh = ENHANCED_KEY;
constexpr std::uint32_t kNum = NUMLOCK_ON;

constexpr SpecialKey kUp{0x48, 0x26, 0, kEnh}, kDown{0x50, 0x28, 0, kEnh},
    kRight{0x4D, 0x27, 0, kEnh}, kLeft{0x4B, 0x25, 0, kEnh}, kHome{0x47, 0x24, 0, kEnh},
    kEnd{0x4F, 0x23, 0, kEnh}, kInsert{0x52, 0x2D, 0, kEnh}, kDelete{0x53, 0x2E, 0, kEnh},
    kPgUp{0x49, 0x21, 0, kEnh}, kPgDn{0x51, 0x22, 0, kEnh}, kBegin{0x4C, 0x0C, 0, 0};

constexpr SpecialKey FKey(int n) {  // n = 1..12
  return n <= 10 ? SpecialKey{static_cast<std::uint8_t>(0x3A + n), static_cast<std::uint8_t>(0x6F + n), 0, 0}
                 : SpecialKey{static_cast<std::uint8_t>(0x4C + n), static_cast<std::uint8_t>(0x6F + n), 0, 0};
}

// Modifier parameter of xterm's forms: 1 + Shift 1 + Alt 2 + Ctrl 4.
bool ModifierState(std::uint32_t m, std::uint32_t& state) {
  if (m < 1 || m > 8) return false;
  --m;
  state = ((m & 1) ? kShift : 0) | ((m & 2) ? kAlt : 0) | ((m & 4) ? kCtrl : 0);
  return true;
}

// ---------------------------------------------------------------- emitting

struct Out {
  Emit emit;
  void* context;
  void Key(const InputRecord& r) const {
    Event e;
    e.kind = Event::Kind::Key;
    e.record = r;
    emit(e, context);
  }
  void Special(const SpecialKey& k, std::uint32_t modifiers) const {
    Key(KeyDown(k.scan, k.vk, k.ch, k.state | modifiers));
  }
};

// An ASCII byte typed on its own (`alt` false) or after ESC (`alt` true).
void AsciiKey(std::uint8_t b, bool alt, const Out& out) {
  std::uint32_t state = alt ? kAlt : 0;
  std::uint8_t scan, vk, ch = b;
  switch (b) {
    case 0x00: scan = 0x03; vk = '2'; state |= kCtrl; break;             // Ctrl+2 (Ctrl+@)
    case 0x09: scan = 0x0F; vk = 0x09; break;                           // Tab
    case 0x0D: scan = 0x1C; vk = 0x0D; break;                           // Enter
    case 0x1B: scan = 0x01; vk = 0x1B; break;                           // Esc
    case 0x1C: scan = 0x2B; vk = 0xDC; state |= kCtrl; break;           // Ctrl+backslash
    case 0x1D: scan = 0x1B; vk = 0xDD; state |= kCtrl; break;           // Ctrl+]
    case 0x1E: scan = 0x07; vk = '6'; state |= kCtrl | kShift; break;   // Ctrl+^
    case 0x1F: scan = 0x0C; vk = 0xBD; state |= kCtrl | kShift; break;  // Ctrl+_
    case 0x7F: scan = 0x0E; vk = 0x08; ch = 0x08; break;                // Backspace
    default:
      if (b < 0x20) {  // Ctrl+letter, 08H (Ctrl+H) and 0AH (Ctrl+J) included
        const KeyCap& k = kUsLayout[b + 0x60];
        scan = k.scan;
        vk = k.vk;
        state |= kCtrl;
      } else {
        const KeyCap& k = kUsLayout[b];
        scan = k.scan;
        vk = k.vk;
        if (k.shift) state |= kShift;
      }
  }
  out.Key(KeyDown(scan, vk, ch, state));
}

// ---------------------------------------------------------------- sequences

// Parameters "a;b" of a sequence: at most two decimal numbers, each may be
// empty (then 0). False when anything else is in there.
bool Params(const State& s, std::uint32_t p[2], int& count) {
  p[0] = p[1] = 0;
  count = 0;
  if (s.length == 0) return true;
  count = 1;
  for (std::uint8_t i = 0; i < s.length; ++i) {
    std::uint8_t c = s.sequence[i];
    if (c == ';') {
      if (++count > 2) return false;
    } else if (c >= '0' && c <= '9') {
      std::uint32_t& v = p[count - 1];
      v = v * 10 + (c - '0');
      if (v > 0xFFFF) return false;
    } else {
      return false;
    }
  }
  return true;
}

// The modifier of "", "m" (SS3 only), "1;m" or ";m".
bool LetterModifier(std::uint32_t p[2], int count, bool single, std::uint32_t& state) {
  if (count == 0) return ModifierState(1, state);
  if (count == 1) return single ? ModifierState(p[0], state) : p[0] <= 1 && ModifierState(1, state);
  if (count == 2 && p[0] <= 1) return ModifierState(p[1], state);
  return false;
}

// Final letter shared by CSI and SS3: cursor keys, Home/End, F1-F4, Begin.
bool CursorOrPfKey(std::uint8_t final, SpecialKey& k) {
  switch (final) {
    case 'A': k = kUp; return true;
    case 'B': k = kDown; return true;
    case 'C': k = kRight; return true;
    case 'D': k = kLeft; return true;
    case 'H': k = kHome; return true;
    case 'F': k = kEnd; return true;
    case 'E': k = kBegin; return true;
    case 'P': k = FKey(1); return true;
    case 'Q': k = FKey(2); return true;
    case 'R': k = FKey(3); return true;
    case 'S': k = FKey(4); return true;
    default: return false;
  }
}

bool TildeKey(std::uint32_t code, SpecialKey& k) {
  switch (code) {
    case 1: case 7: k = kHome; return true;
    case 2: k = kInsert; return true;
    case 3: k = kDelete; return true;
    case 4: case 8: k = kEnd; return true;
    case 5: k = kPgUp; return true;
    case 6: k = kPgDn; return true;
    case 11: case 12: case 13: case 14: case 15: k = FKey(static_cast<int>(code) - 10); return true;
    case 17: case 18: case 19: case 20: case 21: k = FKey(static_cast<int>(code) - 11); return true;
    case 23: case 24: k = FKey(static_cast<int>(code) - 12); return true;
    default: return false;
  }
}

void DispatchCsi(State& s, std::uint8_t final, const Out& out) {
  std::uint32_t p[2];
  int count;
  if (s.overflow || !Params(s, p, count)) return;
  std::uint32_t mods;
  SpecialKey k;
  if (final == 'R' && s.expectCursorReport && count == 2 && p[0] > 0 && p[1] > 0) {
    s.expectCursorReport = false;
    Event e;
    e.kind = Event::Kind::CursorReport;
    e.row = static_cast<std::uint16_t>(p[0]);
    e.column = static_cast<std::uint16_t>(p[1]);
    out.emit(e, out.context);
  } else if (final == '~') {
    if (count >= 1 && TildeKey(p[0], k) && ModifierState(count == 2 ? p[1] : 1, mods)) out.Special(k, mods);
  } else if (final == 'Z') {
    if (count == 0) out.Key(KeyDown(0x0F, 0x09, 0x09, kShift));  // Shift+Tab
  } else if (CursorOrPfKey(final, k) && LetterModifier(p, count, false, mods)) {
    out.Special(k, mods);
  }
}

// The keypad in application mode: ESC O and a letter.
bool KeypadKey(std::uint8_t final, SpecialKey& k) {
  static constexpr std::uint8_t kDigitScan[10] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
  if (final >= 'p' && final <= 'y') {
    int d = final - 'p';
    k = {kDigitScan[d], static_cast<std::uint8_t>(0x60 + d), static_cast<std::uint8_t>('0' + d), kNum};
    return true;
  }
  switch (final) {
    case 'M': k = {0x1C, 0x0D, 0x0D, kEnh}; return true;  // keypad Enter
    case 'o': k = {0x35, 0x6F, '/', kEnh}; return true;
    case 'j': k = {0x37, 0x6A, '*', 0}; return true;
    case 'k': k = {0x4E, 0x6B, '+', 0}; return true;
    case 'm': k = {0x4A, 0x6D, '-', 0}; return true;
    case 'n': k = {0x53, 0x6E, '.', kNum}; return true;
    default: return false;
  }
}

void DispatchSs3(const State& s, std::uint8_t final, const Out& out) {
  std::uint32_t p[2];
  int count;
  if (s.overflow || !Params(s, p, count)) return;
  std::uint32_t mods;
  SpecialKey k;
  if ((CursorOrPfKey(final, k) || KeypadKey(final, k)) && LetterModifier(p, count, true, mods))
    out.Special(k, mods);
}

// ---------------------------------------------------------------- the machine

void Reset(State& s, Phase phase) {
  s.phase = phase;
  s.length = 0;
  s.overflow = false;
}

void Collect(State& s, std::uint8_t b) {
  if (s.length < kMaxSequence)
    s.sequence[s.length++] = b;
  else
    s.overflow = true;
}

void Ground(State& s, std::uint8_t b, const Out& out) {
  if (b == 0x1B) {
    Reset(s, Phase::Escape);
  } else if (b < 0x80) {
    AsciiKey(b, false, out);
  } else if (b >= 0xC2 && b <= 0xF4) {
    // A UTF-8 character: no key of a US keyboard types it; swallow it whole.
    s.phase = Phase::Utf8;
    s.utf8Left = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : 1;
  }
  // Stray continuation bytes and bytes that cannot start UTF-8 are dropped.
}

void Step(State& s, std::uint8_t b, const Out& out) {
  switch (s.phase) {
    case Phase::Ground:
      Ground(s, b, out);
      return;
    case Phase::Utf8:
      if (b >= 0x80 && b <= 0xBF) {
        if (--s.utf8Left == 0) s.phase = Phase::Ground;
        return;
      }
      s.phase = Phase::Ground;
      Ground(s, b, out);
      return;
    case Phase::Escape:
      if (b == '[') {
        Reset(s, Phase::Csi);
      } else if (b == 'O') {
        Reset(s, Phase::Ss3);
      } else if (b == 0x1B) {
        AsciiKey(0x1B, false, out);  // Esc typed twice; the second may start a sequence
      } else if (b < 0x80) {
        s.phase = Phase::Ground;
        AsciiKey(b, true, out);
      } else {
        s.phase = Phase::Ground;  // Alt + a character no US key types: dropped with its ESC
        Ground(s, b, out);
      }
      return;
    case Phase::Csi:
    case Phase::Ss3:
      if (s.phase == Phase::Csi && s.length == 0 && !s.overflow && b == '[') {
        s.phase = Phase::LinuxFKey;
      } else if (b >= 0x20 && b <= 0x3F) {
        Collect(s, b);
      } else if (b >= 0x40 && b <= 0x7E) {
        Phase was = s.phase;
        s.phase = Phase::Ground;
        if (was == Phase::Csi)
          DispatchCsi(s, b, out);
        else
          DispatchSs3(s, b, out);
        s.length = 0;
      } else {
        // Cut short by a control byte, DEL or a byte above 7FH: the sequence
        // is dropped and the byte is taken on its own.
        Reset(s, Phase::Ground);
        Ground(s, b, out);
      }
      return;
    case Phase::LinuxFKey:
      s.phase = Phase::Ground;
      if (b >= 'A' && b <= 'E')
        out.Special(FKey(b - 'A' + 1), 0);
      else if (b < 0x20 || b >= 0x7F)
        Ground(s, b, out);
      return;
  }
}

}  // namespace

void Feed(State& state, const std::uint8_t* bytes, std::size_t n, Emit emit, void* context) {
  Out out{emit, context};
  for (std::size_t i = 0; i < n; ++i) Step(state, bytes[i], out);
}

bool Pending(const State& state) { return state.phase != Phase::Ground; }

void Expire(State& state, Emit emit, void* context) {
  Out out{emit, context};
  bool bare = state.length == 0 && !state.overflow;
  switch (state.phase) {
    case Phase::Escape: AsciiKey(0x1B, false, out); break;
    case Phase::Csi: if (bare) AsciiKey('[', true, out); break;
    case Phase::Ss3: if (bare) AsciiKey('O', true, out); break;
    default: break;
  }
  Reset(state, Phase::Ground);
}

}  // namespace Platform::KeyDecoder
