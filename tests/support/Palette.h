// Test support: the standard 16-colour palette as 0x00RRGGBB, for suites
// that read pixels or terminal colours back.
// Depends on: nothing but the C++ library.
#pragma once

#include <array>
#include <cstdint>

namespace TestPalette {

constexpr std::array<std::uint32_t, 16> kStandard = {
    0x000000, 0x0000B0, 0x00B000, 0x008080, 0xB00000, 0x800080, 0xB06000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

}  // namespace TestPalette
