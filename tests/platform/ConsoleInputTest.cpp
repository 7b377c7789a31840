// The console input buffer: order, its bound of 4096 records, flush, the
// wait that wakes on a write from another thread and the wait for room that
// wakes on a read.
#include "platform/ConsoleInput.h"

#include <gtest/gtest.h>

#include <thread>

using namespace Platform;

namespace {

InputRecord Key(std::uint16_t scan) {
  InputRecord r;
  r.EventType = KEY_EVENT;
  r.Event.KeyEvent.bKeyDown = 1;
  r.Event.KeyEvent.wRepeatCount = 1;
  r.Event.KeyEvent.wVirtualScanCode = scan;
  return r;
}

class ConsoleInputTest : public ::testing::Test {
 protected:
  void SetUp() override { FlushConsoleInputBuffer(); }
  void TearDown() override { FlushConsoleInputBuffer(); }
};

TEST_F(ConsoleInputTest, RecordsComeOutInOrderAndEmptyReadLeavesRecordAlone) {
  for (std::uint16_t s = 1; s <= 5; ++s) ASSERT_TRUE(WriteConsoleInput(Key(s)));
  EXPECT_EQ(GetNumberOfConsoleInputEvents(), 5u);
  InputRecord r;
  for (std::uint16_t s = 1; s <= 5; ++s) {
    ASSERT_TRUE(ReadConsoleInput(r));
    EXPECT_EQ(r.Event.KeyEvent.wVirtualScanCode, s);
  }
  r = Key(77);
  EXPECT_FALSE(ReadConsoleInput(r));
  EXPECT_EQ(r.Event.KeyEvent.wVirtualScanCode, 77);
}

TEST_F(ConsoleInputTest, FullBufferRefusesAndKeepsWhatItHolds) {
  for (std::size_t n = 0; n < kConsoleInputCapacity; ++n)
    ASSERT_TRUE(WriteConsoleInput(Key(static_cast<std::uint16_t>(n % 100))));
  EXPECT_FALSE(WriteConsoleInput(Key(99)));
  EXPECT_EQ(GetNumberOfConsoleInputEvents(), kConsoleInputCapacity);
  InputRecord r;
  ASSERT_TRUE(ReadConsoleInput(r));
  EXPECT_EQ(r.Event.KeyEvent.wVirtualScanCode, 0);
  EXPECT_TRUE(WriteConsoleInput(Key(42)));  // room again after one read
  // The rest, in order, across the ring's wrap-around.
  for (std::size_t n = 1; n < kConsoleInputCapacity; ++n) {
    ASSERT_TRUE(ReadConsoleInput(r));
    ASSERT_EQ(r.Event.KeyEvent.wVirtualScanCode, n % 100);
  }
  ASSERT_TRUE(ReadConsoleInput(r));
  EXPECT_EQ(r.Event.KeyEvent.wVirtualScanCode, 42);
  EXPECT_FALSE(ReadConsoleInput(r));
}

TEST_F(ConsoleInputTest, FlushDropsEverything) {
  WriteConsoleInput(Key(1));
  WriteConsoleInput(Key(2));
  FlushConsoleInputBuffer();
  EXPECT_EQ(GetNumberOfConsoleInputEvents(), 0u);
  EXPECT_FALSE(WaitForConsoleInput(0));
}

TEST_F(ConsoleInputTest, WaitTimesOutOnEmptyAndWakesOnWriteFromAnotherThread) {
  EXPECT_FALSE(WaitForConsoleInput(20));
  std::thread writer([] { WriteConsoleInput(Key(16)); });
  EXPECT_TRUE(WaitForConsoleInput(-1));
  writer.join();
  InputRecord r;
  ASSERT_TRUE(ReadConsoleInput(r));
  EXPECT_EQ(r.Event.KeyEvent.wVirtualScanCode, 16);
}

TEST_F(ConsoleInputTest, WaitForRoomWakesOnAReadFromAnotherThread) {
  EXPECT_TRUE(WaitForConsoleInputRoom(kConsoleInputCapacity, 0));
  EXPECT_TRUE(WaitForConsoleInputRoom(10 * kConsoleInputCapacity, 0));  // never more than the whole buffer
  for (std::size_t n = 0; n < kConsoleInputCapacity - 2; ++n) ASSERT_TRUE(WriteConsoleInput(Key(1)));
  EXPECT_TRUE(WaitForConsoleInputRoom(2, 0));
  EXPECT_FALSE(WaitForConsoleInputRoom(3, 20));
  std::thread reader([] {
    InputRecord r;
    ReadConsoleInput(r);
  });
  EXPECT_TRUE(WaitForConsoleInputRoom(3, -1));
  reader.join();
  EXPECT_EQ(GetNumberOfConsoleInputEvents(), kConsoleInputCapacity - 3);
  FlushConsoleInputBuffer();
  EXPECT_TRUE(WaitForConsoleInputRoom(kConsoleInputCapacity, 0));
}

}  // namespace
