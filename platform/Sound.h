// Sound: our stand-in for the multimedia PlaySound call, over SDL2 audio.
// One audio device, opened at a request and closed again once it has been
// quiet for half a second, so that the sound server can rest; wave files
// decoded once into the device's format and kept by name, so that starting a
// sound costs a pointer swap (a few milliseconds more when the device has to
// be opened). A device lost meanwhile (the sound server went away) is opened
// afresh at the next request; while there is none every request answers 0.
// Depends on: SDL2 (audio only), POSIX threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Platform {

// Flag word of PlaySound. No other flag is understood; the name is always
// taken as a file name.
constexpr std::uint32_t SND_SYNC = 0x0000;      // play to the end, then return
constexpr std::uint32_t SND_ASYNC = 0x0001;     // start playing and return at once
constexpr std::uint32_t SND_FILENAME = 0x20000; // the name is a file name

// The most a sound event may be: a longer sound is refused before it is
// converted or kept, a larger file before it is read. Ten seconds are far
// more than a sound event needs (ours last at most 1.6 s); the file limit
// holds ten seconds of 16-bit stereo at 48 kHz.
constexpr std::uint32_t kMaxSoundSeconds = 10;
constexpr std::size_t kMaxSoundFileBytes = 2 * 1024 * 1024;

// Plays the wave file `name`, replacing whatever is still playing (which
// fades out over 4 ms). With SND_ASYNC it returns as soon as the sound has
// started, otherwise when it has ended. Nonzero on success; 0 when no audio
// device opens (one attempt a request) or the file cannot be found, decoded
// or is too large for a sound event. An empty name stops any sound and
// answers nonzero when there is a device: nothing was asked for, nothing
// failed.
std::int32_t PlaySound(std::string_view name, std::uint32_t flags);

// Where PlaySound finds `name`: a name with a folder as it is; a bare name in
// the working directory, else in the program's own sounds folder. Empty
// when there is no such file.
std::string FindSoundFile(std::string_view name);

// The program's own sounds folder, the first that exists of: "sounds" beside
// the executable (a build tree), "../share/stackfall/sounds" from the
// executable's folder (an install, wherever it was moved), the one in the
// source tree the program was built from (tests).
std::string SoundFolder();

// Whether a sound device could be there at all: SDL_AUDIODRIVER set, a
// sound card in /dev, or a sound server's socket. Without one PlaySound
// answers 0 without starting SDL's audio.
bool SoundRouteExists();

// Stops any sound, closes the device and forgets the decoded sounds; the next
// PlaySound opens a device afresh (reading SDL_AUDIODRIVER again).
void CloseSound();

}  // namespace Platform
