// WholeStr: CARDINAL to decimal text.
#include "console/WholeStr.h"

namespace WholeStr {

namespace {
bool initialised = false;
}

void Init() {
  if (initialised) return;
  initialised = true;
}

void CardToStr(std::uint32_t card, std::span<char> str) {
  char digits[10];
  std::size_t n = 0;
  do {
    digits[n++] = static_cast<char>('0' + card % 10);
    card /= 10;
  } while (card != 0);
  std::size_t k = 0;
  while (n > 0 && k < str.size()) str[k++] = digits[--n];
  if (k < str.size()) str[k] = '\0';
}

}  // namespace WholeStr
