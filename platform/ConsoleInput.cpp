// The console input buffer: a fixed ring of input records under one lock,
// with a condition variable that wakes the key reader.
#include "platform/ConsoleInput.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace Platform {
namespace {

struct Buffer {
  std::mutex lock;
  std::condition_variable recordWaiting;
  std::condition_variable roomFree;
  InputRecord records[kConsoleInputCapacity];
  std::size_t head = 0;  // oldest record
  std::size_t size = 0;
};

// Made on first use and never destroyed: the key reader still waits on the
// condition variable while the process exits, and destroying a condition
// variable that has a waiter blocks for ever.
Buffer& TheBuffer() {
  static Buffer* const buffer = new Buffer;
  return *buffer;
}

}  // namespace

bool WriteConsoleInput(const InputRecord& record) {
  Buffer& b = TheBuffer();
  {
    std::lock_guard lock(b.lock);
    if (b.size >= kConsoleInputCapacity) return false;
    b.records[(b.head + b.size) % kConsoleInputCapacity] = record;
    ++b.size;
  }
  b.recordWaiting.notify_one();
  return true;
}

bool WaitForConsoleInput(int timeoutMs) {
  Buffer& b = TheBuffer();
  std::unique_lock lock(b.lock);
  auto waiting = [&b] { return b.size > 0; };
  if (timeoutMs < 0) {
    b.recordWaiting.wait(lock, waiting);
    return true;
  }
  return b.recordWaiting.wait_for(lock, std::chrono::milliseconds(timeoutMs), waiting);
}

bool WaitForConsoleInputRoom(std::size_t records, int timeoutMs) {
  Buffer& b = TheBuffer();
  const std::size_t wanted = std::min(records, kConsoleInputCapacity);
  std::unique_lock lock(b.lock);
  auto room = [&b, wanted] { return kConsoleInputCapacity - b.size >= wanted; };
  if (timeoutMs < 0) {
    b.roomFree.wait(lock, room);
    return true;
  }
  return b.roomFree.wait_for(lock, std::chrono::milliseconds(timeoutMs), room);
}

bool WriteConsoleInputWithin(const InputRecord& record, int timeoutMs) {
  if (WriteConsoleInput(record)) return true;
  WaitForConsoleInputRoom(1, timeoutMs);
  return WriteConsoleInput(record);
}

bool ReadConsoleInput(InputRecord& record) {
  Buffer& b = TheBuffer();
  {
    std::lock_guard lock(b.lock);
    if (b.size == 0) return false;
    record = b.records[b.head];
    b.head = (b.head + 1) % kConsoleInputCapacity;
    --b.size;
  }
  b.roomFree.notify_all();
  return true;
}

std::size_t GetNumberOfConsoleInputEvents() {
  Buffer& b = TheBuffer();
  std::lock_guard lock(b.lock);
  return b.size;
}

void FlushConsoleInputBuffer() {
  Buffer& b = TheBuffer();
  {
    std::lock_guard lock(b.lock);
    b.head = 0;
    b.size = 0;
  }
  b.roomFree.notify_all();
}

}  // namespace Platform
