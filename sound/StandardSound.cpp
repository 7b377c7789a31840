// StandardSound: sound events, the start-up check, and the string routines
// for fixed-size character arrays.
#include "sound/StandardSound.h"

#include <algorithm>

#include "console/IO.h"
#include "runtime/Runtime.h"

namespace StandardSound {

std::array<SoundRc, kSoundEvents> gSoundList{};
bool gActive = false;
PlaySoundProc PlaySoundRedirect = Platform::PlaySound;
SoundFolderProc SoundFolderRedirect = Platform::SoundFolder;

namespace {

bool initialised = false;

constexpr char kCheckFile[] = "thx.wav";

// The array's text: up to its first NUL, or all of it when it holds none.
std::string_view Text(std::span<const char> str) { return {str.data(), StrLength(str)}; }

void Bind(SoundEventEn e, std::span<const char> fileName, std::uint32_t soundFlag) {
  StrCopy(gSoundList[e].fileName, fileName);
  gSoundList[e].soundFlag = soundFlag;
}

// Mended: with no separator between the sounds folder and the file name
// ("soundsthx.wav") the check sound was never found. A folder too deep for
// the buffer would be cut into a wrong path: the bare name goes instead,
// which the platform looks up itself.
void CheckSoundPath(char (&path)[100]) {
  const std::string folder = SoundFolderRedirect();
  const std::span<const char> folderArray(folder.c_str(), folder.size() + 1);
  if (!folder.empty() && folder.size() + 1 + StrLength(kCheckFile) < sizeof path) {
    StrCopy(path, folderArray);
    StrConcatenate(path, "/");
    StrConcatenate(path, kCheckFile);
  } else {
    StrCopy(path, kCheckFile);
  }
}

}  // namespace

void Init() {
  if (initialised) return;
  initialised = true;
  IO::Init();  // Lib, the other console module used here, needs no start-up
}

bool InitSound(bool asynchronousSound) {
  Init();
  std::uint32_t soundFlag = asynchronousSound ? SND_ASYNC : SND_SYNC;
  IO::WrLn();
  IO::WrStr("You should here sound now, this to check whether sound works on your system...");
  IO::WrLn();
  IO::WrLn();

  char path[100] = {};
  CheckSoundPath(path);
  // Always asynchronous, whatever asynchronousSound says.
  gActive = PlaySoundRedirect(Text(path), SND_FILENAME + SND_ASYNC) != 0;

  if (gActive) {
    IO::WrLn();
    IO::WrLn();
    IO::WrStr("Sound works fine!");
    IO::WrLn();
    soundFlag = soundFlag + SND_FILENAME;
    Bind(INTRO, "startup.wav", soundFlag);
    Bind(GAME_OVER, "game_over.wav", soundFlag);
    Bind(DEL_LINE, "wohoo.wav", soundFlag);
    Bind(START, "any_key.wav", soundFlag);
  } else {
    IO::WrStr("Sound can NOT be used on your system!");
    IO::WrLn();
    IO::WrStr("All sound events will be desactivated.");
    IO::WrLn();
    IO::WrLn();
  }
  return gActive;
}

void PlaySoundEvent(SoundEventEn e) {
  if (!gActive) return;
  const SoundRc& entry = gSoundList[RT_INDEX(e, kSoundEvents)];
  // Also for an event without a file (empty name, flag 0): the platform decides.
  if (PlaySoundRedirect(Text(entry.fileName), entry.soundFlag) != 0) return;
  // Sound stays on after a failure: the next request is tried again.
  IO::WrStr("Sound ERROR : it seems it was not possible to play the sound");
  IO::WrLn();
  IO::WrStr("       file need here! ");
  IO::WrStr(entry.fileName);
  IO::WrLn();
  IO::WrStr("       Check whether you have to file AND it is at the good place");
  IO::WrLn();
}

std::uint32_t MinCard(std::uint32_t c1, std::uint32_t c2) { return c1 <= c2 ? c1 : c2; }

std::uint32_t StrLength(std::span<const char> str) {
  const auto nul = std::find(str.begin(), str.end(), '\0');
  return static_cast<std::uint32_t>(nul - str.begin());
}

// Mended: a count of size - 1 wraps round for an empty array. The count is
// the smaller of the two sizes.
void StrCopy(std::span<char> strTo, std::span<const char> strFrom) {
  const std::uint32_t n = MinCard(static_cast<std::uint32_t>(strTo.size()),
                                  static_cast<std::uint32_t>(strFrom.size()));
  // Deliberately copies past strFrom's NUL, as far as n reaches.
  std::copy_n(strFrom.begin(), n, strTo.begin());
}

void StrConcatenate(std::span<char> strTo, std::span<const char> strFrom) {
  const std::uint32_t l = StrLength(strTo);
  // Mended: appending to a full strTo (no NUL) wrote past its end. The room
  // left, size - l, is 0 there, so nothing is appended.
  const std::uint32_t n = MinCard(static_cast<std::uint32_t>(strTo.size()) - l,
                                  static_cast<std::uint32_t>(strFrom.size()));
  std::copy_n(strFrom.begin(), n, strTo.begin() + l);
}

}  // namespace StandardSound
