// SdlStart: the lock.
#include "platform/SdlStart.h"

namespace Platform {

std::mutex& SdlStartLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace Platform
