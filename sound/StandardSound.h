// StandardSound: the game's sound events. The game asks for an event
// (DEL_LINE), never for a file; the table gSoundList binds events to wave
// files and play flags. InitSound runs the start-up check, tells the player
// on the console whether sound works and, only then, fills the table. Also
// the string routines for fixed-size, NUL-terminated character arrays.
// Depends on: IO (console lines), platform/Sound (PlaySound).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/Sound.h"

namespace StandardSound {

enum SoundEventEn : std::uint8_t {
  GAME_OVER,    // 0
  INTRO,        // 1
  DEL_LINE,     // 2
  START,        // 3
  SIMPLE_MOVE,  // 4
  GET_HOME,     // 5
  EAT_FOOD,     // 6
  GET_KILLED,   // 7
  TAKE_BONUS,   // 8
  KILL_OTHER,   // 9
  EXPLODE,      // 10
  FUN_SOUND,    // 11
  END_SOUND,    // 12
  KEY_SOUND,    // 13
};
constexpr std::uint32_t kSoundEvents = 14;

using Platform::SND_ASYNC;
using Platform::SND_FILENAME;
using Platform::SND_SYNC;

struct SoundRc {
  char fileName[100];       // all NUL when no file is bound
  std::uint32_t soundFlag;  // 0 when no file is bound
};

extern std::array<SoundRc, kSoundEvents> gSoundList;  // indexed by SoundEventEn; all empty at start
extern bool gActive;  // the check's verdict; while FALSE no event sounds

// The platform's PlaySound, through a procedure variable so that tests see
// every call with its name and flags.
using PlaySoundProc = std::int32_t (*)(std::string_view name, std::uint32_t flags);
extern PlaySoundProc PlaySoundRedirect;  // default: Platform::PlaySound

// The folder the check sound is taken from, likewise replaceable.
using SoundFolderProc = std::string (*)();
extern SoundFolderProc SoundFolderRedirect;  // default: Platform::SoundFolder

// Module start-up: the console modules this one writes through, once.
void Init();

// Plays the check sound and reports on the console whether sound works; on
// success binds the game's files, played asynchronously or to the end as
// `asynchronousSound` says. Returns the verdict, also kept in gActive.
bool InitSound(bool asynchronousSound);

// Plays the file bound to `e` when sound is active; three error lines on the
// console when the platform cannot play it.
void PlaySoundEvent(SoundEventEn e);

// ---------------------------------------------------------------- strings
// Arrays come with their sizes: a string literal or char array converts.

std::uint32_t MinCard(std::uint32_t c1, std::uint32_t c2);

// Characters before the first NUL; the whole size when there is none.
std::uint32_t StrLength(std::span<const char> str);

// Copies min(size of strTo, size of strFrom) characters, NUL and what follows
// it included; characters of strTo beyond them keep their values. A longer
// source fills strTo without a NUL.
void StrCopy(std::span<char> strTo, std::span<const char> strFrom);

// Appends strFrom at strTo's first NUL, copying as StrCopy does into the room
// left; cut at the end of strTo, which is then full without a NUL.
void StrConcatenate(std::span<char> strTo, std::span<const char> strFrom);

}  // namespace StandardSound
