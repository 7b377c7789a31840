// Fuzz target: the key translation and the key queue, up to BiosIO::RdKey.
// The input is a script: arbitrary input records (any event type, key-up and
// key-down, any scan code, character and control-key state, mouse records)
// taken one at a time on the reader's own code path (EventQueue::TakeRecord,
// no reader thread involved: it idles on an empty console input buffer),
// mixed with reads through BiosIO. A model of the queue says what must come
// out. Checked:
//  - every key-down that translates is queued while fewer than 33 wait, and
//    is otherwise lost with one beep; nothing else is lost or reordered, so
//    the queue never holds more than 33;
//  - RdKey gives a character key in one call and an extended key in two,
//    CHR(0) and then its scan code, without touching the queue in between;
//  - KeyPressed answers exactly whether a key waits in the queue;
//  - mouse records reach the mouse handlers and never the queue.
#include "console/BiosIO.h"
#include "console/ConsoleOutput.h"
#include "console/EventQueue.h"
#include "platform/ConsoleInput.h"
#include "tests/fuzz/FuzzCheck.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdint>
#include <deque>

namespace {

int beeps = 0;
int mice = 0;

void CountBeep(std::uint32_t, std::uint32_t) { ++beeps; }
bool CountMouse(const EventQueue::MouseRecord&) {
  ++mice;
  return false;
}

void Start() {
  // Standard input /dev/null: no terminal thread, and nothing reaches the
  // console input buffer but what this target takes itself.
  const int null = ::open("/dev/null", O_RDONLY);
  ::dup2(null, STDIN_FILENO);
  ::close(null);
  // The runtime takes SIGALRM for itself; libFuzzer's timer is an alarm.
  struct sigaction fuzzerAlarm {};
  ::sigaction(SIGALRM, nullptr, &fuzzerAlarm);
  BiosIO::Init();
  ::sigaction(SIGALRM, &fuzzerAlarm, nullptr);
  ConsoleOutput::Beep = CountBeep;
  EventQueue::AddMouseHandler(CountMouse);
}

// Bytes of the input, read in order; zeros once it runs out.
struct Input {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at = 0;
  bool More() const { return at < size; }
  std::uint32_t Take(int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | (at < size ? data[at++] : 0);
    return v;
  }
};

Platform::InputRecord AnyRecord(Input& in) {
  Platform::InputRecord r;
  const std::uint32_t kind = in.Take(1);
  if (kind % 4 == 0) {
    r.EventType = Platform::MOUSE_EVENT;
    auto& m = r.Event.MouseEvent;
    m.X = static_cast<std::int16_t>(in.Take(2));
    m.Y = static_cast<std::int16_t>(in.Take(2));
    m.dwButtonState = in.Take(4);
    m.dwControlKeyState = in.Take(4);
    m.dwEventFlags = in.Take(4);
    return r;
  }
  // A type byte above 0x7F: some other event type, a window-size or focus
  // record, or nonsense.
  r.EventType = kind >= 0x80 ? static_cast<std::uint16_t>(in.Take(2)) : Platform::KEY_EVENT;
  auto& k = r.Event.KeyEvent;
  k.bKeyDown = static_cast<std::int32_t>(kind & 0x40 ? in.Take(4) : (kind >> 2) & 1);
  k.wRepeatCount = static_cast<std::uint16_t>(in.Take(2));
  k.wVirtualKeyCode = static_cast<std::uint16_t>(in.Take(1));
  // Mostly one-byte scan codes, where the tables are; now and then any.
  k.wVirtualScanCode = static_cast<std::uint16_t>(kind & 0x20 ? in.Take(2) : in.Take(1));
  k.uChar = static_cast<std::uint16_t>(kind & 0x10 ? in.Take(2) : in.Take(1));
  k.dwControlKeyState = kind & 0x08 ? in.Take(4) : in.Take(2);
  return r;
}

struct Key {
  std::uint8_t ch;
  std::uint8_t scan;
};

// What the queue must hold, and the scan half of an extended key still due.
struct Model {
  std::deque<Key> queue;
  bool scanDue = false;
  std::uint8_t dueScan = 0;
  int lost = 0;
  int mice = 0;

  void Take(const Platform::InputRecord& r) {
    if (r.EventType == Platform::MOUSE_EVENT) {
      ++mice;
      return;
    }
    if (r.EventType != Platform::KEY_EVENT || !r.Event.KeyEvent.bKeyDown) return;
    EventQueue::KeyPair pair;
    if (!EventQueue::Translate(r.Event.KeyEvent, pair)) return;
    // An extended key needs a scan code of its own, or RdKey would give 0, 0.
    FUZZ_CHECK(pair.ch != 0 || pair.scan != 0, "a key translated to (0, 0)");
    if (queue.size() >= EventQueue::kQueueSize) {
      ++lost;
      return;
    }
    // The translation's scan, else the key's own.
    const auto scan = static_cast<std::uint8_t>(pair.scan ? pair.scan : r.Event.KeyEvent.wVirtualScanCode & 0xFF);
    queue.push_back({pair.ch, scan});
  }
};

void CheckKeyPressed(const Model& model) {
  FUZZ_CHECK(BiosIO::KeyPressed() == !model.queue.empty(), "KeyPressed is %d with %zu keys waiting",
             BiosIO::KeyPressed(), model.queue.size());
}

// One RdKey, when the model says it will not block.
void Read(Model& model) {
  if (model.scanDue) {
    const auto scan = static_cast<std::uint8_t>(BiosIO::RdKey());
    FUZZ_CHECK(scan == model.dueScan, "second half %02X, expected %02X", scan, model.dueScan);
    model.scanDue = false;
    return;
  }
  if (model.queue.empty()) return;  // RdKey would wait for a key
  const Key want = model.queue.front();
  model.queue.pop_front();
  const auto ch = static_cast<std::uint8_t>(BiosIO::RdKey());
  FUZZ_CHECK(ch == want.ch, "RdKey gave %02X, expected %02X", ch, want.ch);
  if (ch == 0) {
    FUZZ_CHECK(BiosIO::LastChar == 0, "an extended key without its second half due");
    model.scanDue = true;
    model.dueScan = want.scan;
  } else {
    FUZZ_CHECK(static_cast<std::uint8_t>(BiosIO::LastScan) == want.scan, "scan %02X, expected %02X",
               static_cast<std::uint8_t>(BiosIO::LastScan), want.scan);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool started = (Start(), true);
  (void)started;
  beeps = mice = 0;
  Model model;
  Input in{data, size};
  CheckKeyPressed(model);  // the last input left nothing behind
  FUZZ_CHECK(BiosIO::LastChar != 0, "a second half left due by the last input");
  while (in.More()) {
    // Mostly records, so that the queue fills up; now and then reads.
    if (in.Take(1) < 0xC0) {
      const Platform::InputRecord r = AnyRecord(in);
      model.Take(r);
      EventQueue::TakeRecord(r);
    } else {
      Read(model);
    }
    CheckKeyPressed(model);
  }
  while (model.scanDue || !model.queue.empty()) {
    Read(model);
    CheckKeyPressed(model);
  }
  FUZZ_CHECK(beeps == model.lost, "%d beeps for %d lost keys", beeps, model.lost);
  FUZZ_CHECK(mice == model.mice, "%d mouse records offered of %d", mice, model.mice);
  return 0;
}
