// LineDevice: the console line device, the standard input channel when
// standard input is a console. It holds one line read by the line editor
// (LineEditor) and hands it out with Look, Skip, SkipLook and TextRead; when
// the line is used up, the next operation reads a new one.
// Depends on: LineEditor, runtime.
#pragma once

#include <cstdint>

namespace LineDevice {

// Read results, with the channel library's values.
enum ReadResult : std::uint8_t { allRight = 1, endOfLine = 4, endOfInput = 5 };

constexpr std::uint32_t kBufferSize = 257;

// Makes the device the standard input channel (the console start-up does it
// when the console mode could be set).
void Install();
bool Installed();

// The character at the read position, which stays; endOfLine at CR or LF.
ReadResult Look(char& ch);

// Past one character; a line mark (CR LF) is passed whole.
void Skip();

ReadResult SkipLook(char& ch);

// Copies up to `max` characters up to the end of the line; `n` is how many.
// allRight when any were copied or none were asked for, endOfLine when the
// line mark came first.
ReadResult TextRead(char* dst, std::uint32_t max, std::uint32_t& n);

}  // namespace LineDevice
