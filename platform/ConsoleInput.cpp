#include "platform/ConsoleInput.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace Platform {
namespace {

std::mutex bufferLock;
std::condition_variable recordWaiting;
std::deque<InputRecord> buffer;

}  // namespace

bool WriteConsoleInput(const InputRecord& record) {
  {
    std::lock_guard lock(bufferLock);
    if (buffer.size() >= kConsoleInputCapacity) return false;
    buffer.push_back(record);
  }
  recordWaiting.notify_one();
  return true;
}

bool WaitForConsoleInput(int timeoutMs) {
  std::unique_lock lock(bufferLock);
  auto waiting = [] { return !buffer.empty(); };
  if (timeoutMs < 0) {
    recordWaiting.wait(lock, waiting);
    return true;
  }
  return recordWaiting.wait_for(lock, std::chrono::milliseconds(timeoutMs), waiting);
}

bool ReadConsoleInput(InputRecord& record) {
  std::lock_guard lock(bufferLock);
  if (buffer.empty()) return false;
  record = buffer.front();
  buffer.pop_front();
  return true;
}

std::size_t GetNumberOfConsoleInputEvents() {
  std::lock_guard lock(bufferLock);
  return buffer.size();
}

void FlushConsoleInputBuffer() {
  std::lock_guard lock(bufferLock);
  buffer.clear();
}

}  // namespace Platform
