// The key queue with its reader thread, and BiosIO / IO key reading: order,
// the capacity of 33 with the beep sounded outside the lock, getKey without
// wait, peekKey, the delivered scan, the two-call extended keys, records that
// never become keys, mouse records.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "ConsoleTestSupport.h"
#include "console/BiosIO.h"
#include "console/ConsoleOutput.h"
#include "console/EventQueue.h"
#include "console/IO.h"
#include "console/Lib.h"

using namespace ConsoleTest;
using Platform::ENHANCED_KEY;
using Platform::LEFT_ALT_PRESSED;
using Platform::LEFT_CTRL_PRESSED;
using Platform::SHIFT_PRESSED;

namespace {

std::atomic<int> beeps{0};
std::atomic<bool> beepWithLockFree{true};
std::atomic<std::uint32_t> beepFreq{0}, beepMs{0};

// Sounded on the reader thread; another thread looks at the (full) queue,
// which takes the queue's lock: it must get through while the beep sounds.
void RecordBeep(std::uint32_t freq, std::uint32_t ms) {
  auto through = std::make_shared<std::atomic<bool>>(false);
  std::thread([through] {
    char ch, scan;
    EventQueue::peekKey(ch, scan);
    *through = true;
  }).detach();  // with the lock held it gets through only after this beep
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!*through && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (!*through) beepWithLockFree = false;
  beepFreq = freq;
  beepMs = ms;
  ++beeps;
}

class KeyQueueTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    StartWithoutTerminal();
    ConsoleOutput::Beep = RecordBeep;
  }
  void TearDown() override {
    char ch, scan;
    EXPECT_FALSE(EventQueue::peekKey(ch, scan)) << "a test left keys in the queue";
  }
};

bool WaitFor(const std::function<bool()>& done) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

TEST_F(KeyQueueTest, StartValues) {
  EXPECT_EQ(BiosIO::LastChar, '\xFF');
  EXPECT_EQ(BiosIO::LastScan, 0);
  EXPECT_FALSE(IO::KeyPressed());
}

TEST_F(KeyQueueTest, GetKeyWithoutWaitOnEmptyQueueLeavesItsOutputsAlone) {
  char ch = 'x', scan = 'y';
  EXPECT_FALSE(EventQueue::getKey(ch, scan, false));
  EXPECT_EQ(ch, 'x');
  EXPECT_EQ(scan, 'y');
  EXPECT_FALSE(EventQueue::peekKey(ch, scan));
  EXPECT_EQ(ch, 'x');
  EXPECT_EQ(scan, 'y');
}

TEST_F(KeyQueueTest, CharacterKeysArriveWithTheirHardwareScanCode) {
  Put(KeyEvent(0x10, 'q', 0));  // typed in the console
  Put(KeyEvent(0x10, 0, 0));    // typed in the graphics window
  char ch, scan;
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(EventQueue::getKey(ch, scan, true));
    EXPECT_EQ(ch, 'q');
    EXPECT_EQ(scan, 0x10);
  }
}

TEST_F(KeyQueueTest, PeekShowsTheOldestKeyAndLeavesIt) {
  Type("ab");
  ASSERT_TRUE(WaitFor([] { return IO::KeyPressed(); }));
  char ch, scan;
  ASSERT_TRUE(EventQueue::peekKey(ch, scan));
  EXPECT_EQ(ch, 'a');
  ASSERT_TRUE(EventQueue::peekKey(ch, scan));
  EXPECT_EQ(ch, 'a');
  EXPECT_EQ(IO::RdKey(), 'a');
  EXPECT_EQ(IO::RdKey(), 'b');
}

TEST_F(KeyQueueTest, ThirtyFourthKeyIsLostWithABeepOutsideTheLockAndTheFirst33ComeInOrder) {
  beeps = 0;
  for (int i = 0; i < 34; ++i) Put(KeyEvent(0x1E, static_cast<std::uint8_t>(0x20 + i), 0));
  ASSERT_TRUE(WaitFor([] { return beeps.load() == 1; }));
  EXPECT_TRUE(beepWithLockFree);
  EXPECT_EQ(beepFreq, 300u);
  EXPECT_EQ(beepMs, 100u);
  char ch, scan;
  for (int i = 0; i < 33; ++i) {
    ASSERT_TRUE(EventQueue::getKey(ch, scan, false)) << "key " << i;
    EXPECT_EQ(ch, static_cast<char>(0x20 + i));
  }
  EXPECT_FALSE(EventQueue::getKey(ch, scan, false));
  // Room again: the next key is queued, with no beep.
  Type("z");
  EXPECT_EQ(IO::RdKey(), 'z');
  EXPECT_EQ(beeps, 1);
}

TEST_F(KeyQueueTest, ExtendedKeyIsReadInTwoCallsAndTheSecondTakesNothingFromTheQueue) {
  Put(KeyEvent(0x48, 0, ENHANCED_KEY));  // Up in the console
  EXPECT_EQ(IO::RdKey(), 0);
  EXPECT_EQ(BiosIO::LastChar, 0);
  EXPECT_FALSE(IO::KeyPressed());  // the waiting scan half does not count
  Type("z");
  ASSERT_TRUE(WaitFor([] { return IO::KeyPressed(); }));
  EXPECT_EQ(IO::RdKey(), 0x48);
  EXPECT_EQ(BiosIO::LastChar, '\xFF');
  EXPECT_TRUE(IO::KeyPressed());  // z still waits
  EXPECT_EQ(IO::RdKey(), 'z');
  EXPECT_EQ(BiosIO::LastScan, 0x2C);
}

TEST_F(KeyQueueTest, EdgeKeysOfTheTerminal) {
  Type("\x1b[1;2P" "\x1b" "1" "\x01");  // Shift+F1, Alt+1, Ctrl+A
  EXPECT_EQ(IO::RdKey(), 0);
  EXPECT_EQ(IO::RdKey(), 0x54);
  EXPECT_EQ(IO::RdKey(), 0);
  EXPECT_EQ(IO::RdKey(), 0x78);
  EXPECT_EQ(IO::RdKey(), 0x01);
  EXPECT_EQ(BiosIO::LastScan, 0x1E);
}

TEST_F(KeyQueueTest, KeyUpsModifiersAndLocksNeverEnterTheQueue) {
  Put(KeyEvent(0x10, 'q', 0, false));                   // key-up
  Put(KeyEvent(0x2A, 0, SHIFT_PRESSED));                // left Shift
  Put(KeyEvent(0x36, 0, SHIFT_PRESSED));                // right Shift
  Put(KeyEvent(0x1D, 0, LEFT_CTRL_PRESSED));            // Ctrl
  Put(KeyEvent(0x1D, 0, LEFT_CTRL_PRESSED | ENHANCED_KEY));  // right Ctrl
  Put(KeyEvent(0x38, 0, LEFT_ALT_PRESSED));             // Alt
  for (std::uint16_t lock : {0x3A, 0x45, 0x46}) Put(KeyEvent(lock, 0, 0));
  Put(KeyEvent(0x7E, 0, 0));                            // no such key
  Platform::InputRecord focus;
  focus.EventType = 0x0010;                             // another kind of record
  Put(focus);
  Put(KeyEvent(0x05, '4', 0));
  EXPECT_EQ(IO::RdKey(), '4');
  EXPECT_FALSE(IO::KeyPressed());
}

TEST_F(KeyQueueTest, ARepeatCountStillMakesOneKey) {
  Platform::InputRecord r = KeyEvent(0x05, '4', 0);
  r.Event.KeyEvent.wRepeatCount = 5;
  Put(r);
  Put(KeyEvent(0x10, 'q', 0));
  EXPECT_EQ(IO::RdKey(), '4');
  EXPECT_EQ(IO::RdKey(), 'q');
}

std::atomic<int> mouseSeen{0};
std::atomic<std::int32_t> mouseX{0}, mouseY{0};
std::atomic<std::uint32_t> mouseButtons{0};

bool Declines(const EventQueue::MouseRecord&) { return false; }
bool Takes(const EventQueue::MouseRecord& m) {
  mouseX = m.x;
  mouseY = m.y;
  mouseButtons = m.buttons;
  ++mouseSeen;
  return true;
}
bool NeverReached(const EventQueue::MouseRecord&) {
  mouseSeen += 100;
  return true;
}

TEST_F(KeyQueueTest, MouseRecordsWalkTheHandlerChainAndNeverBecomeKeys) {
  EventQueue::AddMouseHandler(Declines);
  EventQueue::AddMouseHandler(Takes);
  EventQueue::AddMouseHandler(NeverReached);
  Platform::InputRecord m;
  m.EventType = Platform::MOUSE_EVENT;
  m.Event.MouseEvent.X = -3;
  m.Event.MouseEvent.Y = 7;
  m.Event.MouseEvent.dwButtonState = 0x5;
  Put(m);
  Put(KeyEvent(0x05, '4', 0));
  EXPECT_EQ(IO::RdKey(), '4');  // the reader dealt with the mouse record first
  EXPECT_EQ(mouseSeen, 1);
  EXPECT_EQ(mouseX, -3);
  EXPECT_EQ(mouseY, 7);
  EXPECT_EQ(mouseButtons, 0x5u);
}

TEST_F(KeyQueueTest, RdKeyWaitsForAKeyWrittenLater) {
  std::thread writer([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    Put(KeyEvent(0x0B, '0', 0));
  });
  EXPECT_EQ(IO::RdKey(), '0');
  writer.join();
}

}  // namespace

namespace {

// The reader thread waits on the console input buffer for ever; ending the
// program must not wait for it (a destroyed condition variable with a waiter
// would block the exit). The alarm turns such a hang into a failure.
TEST(ConsoleEnd, ProgramEndsNormallyWhileTheReaderWaits) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ::alarm(20);
        StartWithoutTerminal();
        Type("q");
        if (IO::RdKey() != 'q') std::exit(2);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

// ---------------------------------------------------------------- the wait for a key with a deadline
// Lib::WaitForKey, in real time.

// A minute: a wake-up that was lost shows as a wait that ran out.
constexpr std::uint32_t kLongMs = 60000;

void TakeKey(std::uint8_t ch) { EventQueue::TakeRecord(KeyEvent(0x1E, ch, 0)); }

TEST_F(KeyQueueTest, WaitForKeyEndsAtTheDeadlineOrWithAKeyAlreadyThereOrComingLater) {
  EXPECT_EQ(Lib::WaitRedirect, Lib::KeyOrTime);
  // No key: the whole wait, counted as exactly its time.
  EXPECT_EQ(Lib::WaitForKey(20), 20000u);
  EXPECT_EQ(Lib::WaitForKey(0), 0u);

  // The key came after the caller looked and before it waited.
  ASSERT_FALSE(IO::KeyPressed());
  TakeKey('a');
  EXPECT_LT(Lib::WaitForKey(kLongMs), kLongMs * 1000);
  EXPECT_EQ(IO::RdKey(), 'a');
  // The queue emptied: the next wait waits again.
  EXPECT_EQ(Lib::WaitForKey(15), 15000u);

  // The key comes while the caller waits.
  std::thread typist([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    TakeKey('b');
  });
  EXPECT_LT(Lib::WaitForKey(kLongMs), kLongMs * 1000);
  typist.join();
  EXPECT_EQ(IO::RdKey(), 'b');
}

TEST_F(KeyQueueTest, WaitForKeyLosesNoWakeUpWhenTheKeyRacesTheLook) {
  // The play loop's own order, look then wait, against a key queued on
  // another thread at any moment around it (ThreadSanitizer runs it too).
  for (int round = 0; round < 300; ++round) {
    std::atomic<bool> go{false};
    std::thread typist([&go, round] {
      while (!go.load()) {
      }
      for (int spin = 0; spin < (round % 30) * 50; ++spin) std::atomic_signal_fence(std::memory_order_seq_cst);
      TakeKey('c');
    });
    go = true;
    if (!IO::KeyPressed()) {
      ASSERT_LT(Lib::WaitForKey(kLongMs), kLongMs * 1000) << "round " << round;
    }
    typist.join();
    ASSERT_EQ(IO::RdKey(), 'c');
  }
}

}  // namespace
