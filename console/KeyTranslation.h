// KeyTranslation: the PC keyboard BIOS's key tables and the translation of
// a console key-down record into the pair (character, scan code) the BIOS
// gave. Pure: no state, no thread; the key queue calls it for each key.
// Depends on: platform/ConsoleInput.h (the record's layout only).
#pragma once

#include <cstdint>

#include "platform/ConsoleInput.h"

namespace EventQueue {

struct KeyPair {
  std::uint8_t ch;
  std::uint8_t scan;
  bool operator==(const KeyPair&) const = default;
};

enum Column { Plain, Shift, Ctrl, Alt };

constexpr std::uint8_t kBiosRows = 0x59;
extern const KeyPair BiosKeyTable[kBiosRows][4];

struct EnhancedKey {
  std::uint16_t scan;
  KeyPair pairs[4];
};
extern const EnhancedKey EnhancedKeyTable[12];

// A key-down record to a key pair; false for a key that gives none (a
// modifier or lock key alone, an unknown scan code, a (0, 0) pair).
bool Translate(const Platform::KeyEventRecord& event, KeyPair& key);

}  // namespace EventQueue
