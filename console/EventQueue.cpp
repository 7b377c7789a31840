// EventQueue: the key queue and its reader thread.
#include "console/EventQueue.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

#include "console/ConsoleOutput.h"
#include "console/Lib.h"
#include "console/LineDevice.h"
#include "platform/Gamepad.h"
#include "platform/Terminal.h"
#include "runtime/Runtime.h"

namespace EventQueue {

// ---------------------------------------------------------------- the queue

namespace {

// Guards the queue and the signalling of notEmpty. Made by Init.
std::mutex* queueLock = nullptr;

// A manual-reset event: stays signalled until reset.
struct Event {
  std::mutex lock;
  std::condition_variable changed;
  bool signalled = false;
};

void Set(Event& e) {
  {
    std::lock_guard l(e.lock);
    e.signalled = true;
  }
  e.changed.notify_all();
}

void Reset(Event& e) {
  std::lock_guard l(e.lock);
  e.signalled = false;
}

void Wait(Event& e) {
  std::unique_lock l(e.lock);
  e.changed.wait(l, [&e] { return e.signalled; });
}

// The flag is read under the event's own lock, which Set takes before it
// notifies: a key queued after the caller's last look still wakes it.
bool WaitUntil(Event& e, std::chrono::steady_clock::time_point deadline) {
  std::unique_lock l(e.lock);
  return e.changed.wait_until(l, deadline, [&e] { return e.signalled; });
}

// Mended: destroyed at exit under a waiting key reader, it hung program end.
// Init makes it and nothing destroys it: the reader may be inside it while
// the process exits.
Event* notEmpty = nullptr;

KeyRecord queue[kQueueSize];
std::atomic<std::uint8_t> count{0};  // peekKey reads it without the lock
std::atomic<std::uint32_t> lostKeys{0};

constexpr int kMaxMouseHandlers = 8;
MouseHandler mouseHandlers[kMaxMouseHandlers];
int mouseHandlerCount = 0;  // under queueLock

// Mended: a data race. The termination procedure that reads it may run on
// any thread (Halt from the window server when the display goes away, a
// signal), so it is atomic.
std::atomic<std::uint32_t> savedInputMode{0};
bool initialised = false;

// Under queueLock, count > 0.
void Deliver(const KeyRecord& slot, char& ch, char& scan) {
  ch = static_cast<char>(slot.ch);
  scan = static_cast<char>(slot.scan != 0 ? slot.scan : slot.event.wVirtualScanCode & 0xFF);
}

void Append(const Platform::KeyEventRecord& event) {
  KeyPair key;
  if (!Translate(event, key)) return;
  bool lost = false;
  {
    std::lock_guard lock(*queueLock);
    std::uint8_t n = count;
    if (n > kQueueSize - 1) {
      lost = true;
    } else {
      queue[n] = {key.ch, key.scan, event};
      count = static_cast<std::uint8_t>(n + 1);
      if (n == 0) Set(*notEmpty);
    }
  }
  // Outside the lock: the main thread may go on reading while it sounds.
  if (lost) {
    lostKeys.fetch_add(1);
    ConsoleOutput::Beep(300, 100);
  }
}

void OfferMouse(const Platform::MouseEventRecord& event) {
  MouseHandler chain[kMaxMouseHandlers];
  int n;
  {
    std::lock_guard lock(*queueLock);
    n = mouseHandlerCount;
    for (int i = 0; i < n; ++i) chain[i] = mouseHandlers[i];
  }
  MouseRecord mouse{event.X, event.Y, event.dwButtonState};
  for (int i = 0; i < n; ++i)
    if (chain[i](mouse)) return;
}

void ConsoleReader() {
  Runtime::NameThisThread("keyreader");
  for (;;) {
    if (!Platform::WaitForConsoleInput(-1)) {
      Lib::Sleep(10);
      continue;
    }
    Platform::InputRecord record;
    if (Platform::ReadConsoleInput(record)) TakeRecord(record);
  }
}

void RestoreInputMode() { Platform::SetConsoleMode(savedInputMode); }

}  // namespace

void Init() {
  if (initialised) return;
  initialised = true;
  Platform::StartTerminal();  // the console host: keys from the terminal, when there is one
  Platform::FlushConsoleInputBuffer();
  Platform::StartPads();  // keys from game controllers, once the buffer is clean
  Runtime::AddTermProc(RestoreInputMode);
  count = 0;
  mouseHandlerCount = 0;
  std::uint32_t mode = 0;
  if (Platform::GetConsoleMode(mode)) {
    savedInputMode = mode;
    if (Platform::SetConsoleMode(0x17)) LineDevice::Install();
  }
  queueLock = new (std::nothrow) std::mutex;
  notEmpty = new (std::nothrow) Event;
  RT_ASSERT(queueLock != nullptr && notEmpty != nullptr);
  std::thread(ConsoleReader).detach();
}

bool getKey(char& ch, char& scan, bool wait) {
  RT_ASSERT(initialised);
  for (;;) {
    if (wait) Wait(*notEmpty);
    std::lock_guard lock(*queueLock);
    std::uint8_t n = count;
    if (n == 0) {
      if (!wait) return false;
      continue;
    }
    Deliver(queue[0], ch, scan);
    for (std::uint8_t i = 1; i < n; ++i) queue[i - 1] = queue[i];
    count = static_cast<std::uint8_t>(n - 1);
    if (n == 1) Reset(*notEmpty);
    return true;
  }
}

bool waitKey(std::uint32_t ms) {
  RT_ASSERT(initialised);
  return WaitUntil(*notEmpty, std::chrono::steady_clock::now() + std::chrono::milliseconds(ms));
}

bool peekKey(char& ch, char& scan) {
  RT_ASSERT(initialised);
  if (count.load(std::memory_order_relaxed) == 0) return false;
  std::lock_guard lock(*queueLock);
  if (count == 0) return false;
  Deliver(queue[0], ch, scan);
  return true;
}

void Flush() {
  if (!initialised) return;
  char ch, scan;
  while (getKey(ch, scan, false)) {
  }
}

std::uint32_t KeysLost() { return lostKeys.load(); }

void TakeRecord(const Platform::InputRecord& record) {
  RT_ASSERT(initialised);
  if (record.EventType == Platform::KEY_EVENT) {
    // One key per key-down record, whatever its repeat count.
    if (record.Event.KeyEvent.bKeyDown) Append(record.Event.KeyEvent);
  } else if (record.EventType == Platform::MOUSE_EVENT) {
    OfferMouse(record.Event.MouseEvent);
  }
}

void AddMouseHandler(MouseHandler handler) {
  RT_ASSERT(initialised);
  std::lock_guard lock(*queueLock);
  RT_ASSERT(mouseHandlerCount < kMaxMouseHandlers);
  mouseHandlers[mouseHandlerCount++] = handler;
}

}  // namespace EventQueue
