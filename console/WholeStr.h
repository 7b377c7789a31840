// WholeStr: whole numbers as decimal text.
// Depends on: nothing but the C++ library.
#pragma once

#include <cstdint>
#include <span>

namespace WholeStr {

// Once; the module has no state.
void Init();

// Writes `card` in decimal into `str`, most significant digit first; a NUL
// follows when there is room. Digits that do not fit are cut from the end,
// and `str` is then left without a NUL. Never writes past `str`.
void CardToStr(std::uint32_t card, std::span<char> str);

}  // namespace WholeStr
