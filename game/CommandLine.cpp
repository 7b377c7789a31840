// The program's arguments: --help, --version, the window's look, or a refusal.
#include "game/CommandLine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace Game {

namespace {

const char kUsageLine[] = "Usage: stackfall [--scale N] [--fullscreen] | --help | --version\n";

const char kHelp[] =
    "Stack Fall: a falling-block puzzle game for one player. Pieces fall into a\n"
    "walled playfield; full rows vanish, the score grows and the game speeds up.\n"
    "It opens a window of its own and takes keys from that window and from the\n"
    "terminal it was started in. With no display it shows the game in that\n"
    "terminal instead, when the terminal is large enough; STACKFALL_VIEW=window,\n"
    "terminal or none chooses otherwise. Without arguments the game starts.\n"
    "\n"
    "Keys in play:\n"
    "  4  move the piece left        6  move the piece right\n"
    "  5  turn the piece             2  let it fall one row\n"
    "  0  drop it to the bottom      q  end the game\n"
    "  1  fall faster (while the fall interval is above 200 ms)\n"
    "Any key leaves the title and the instructions; after a game n plays again\n"
    "and any other key ends the program. Ctrl+C in the terminal ends it at once.\n"
    "\n"
    "Gamepads, plugged in at any time, play as keys: d-pad or left stick left,\n"
    "right, down 4, 6, 2; d-pad up 0; A or B 5; Start n; Back q; any other\n"
    "button Space. A held direction repeats as a held key does.\n"
    "\n"
    "Sounds (thx.wav, startup.wav, any_key.wav, wohoo.wav, game_over.wav) are\n"
    "looked for in the working directory, then in sounds/ beside the program,\n"
    "then in ../share/stackfall/sounds from the program's folder, then in the\n"
    "source tree it was built from. Without them, or without a sound device,\n"
    "the game runs silently.\n"
    "\n"
    "  --scale N     show the window at N times the picture's size (N from 1 to 8);\n"
    "                without it, at the desktop's own whole scale (GDK_SCALE, else\n"
    "                the X resource Xft.dpi / 96), as far as the screen has room\n"
    "  --fullscreen  start full screen\n"
    "  --help        show this text and exit\n"
    "  --version     show the name and version and exit\n"
    "\n"
    "In the window, F11 or Alt+Enter switches between full screen and the window;\n"
    "neither reaches the game. The window may be resized: the picture always shows\n"
    "at the largest whole scale that fits, centred on black. STACKFALL_SCALE=N in\n"
    "the environment does what --scale N does.\n"
    "\n"
    "More in the manual page: man 6 stackfall\n";

// Writes `text` to standard output: 0, or 1 (with a word on standard error)
// when it could not all be written, as into a full disk or a closed pipe.
int Answer(const std::string& text) {
  if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
    std::fputs("stackfall: cannot write to standard output\n", stderr);
    return 1;
  }
  return 0;
}

// An argument as it may safely be shown in a terminal: control bytes and
// everything outside printable ASCII as \xNN (an escape sequence in an
// argument must not reach the terminal), and at most kShownLength bytes of it.
constexpr std::size_t kShownLength = 60;

std::string Shown(const char* arg) {
  std::string out;
  const std::size_t length = std::strlen(arg);
  for (std::size_t k = 0; k < length && k < kShownLength; ++k) {
    const auto c = static_cast<unsigned char>(arg[k]);
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  if (length > kShownLength) out += "...";
  return out;
}

// A scale as written: a whole number from 1 to 8, digits only.
bool ReadScale(const char* text, std::uint32_t& scale) {
  constexpr std::uint32_t kLargest = 8;
  std::uint32_t n = 0;
  std::size_t k = 0;
  for (; text[k] >= '0' && text[k] <= '9' && n <= kLargest; ++k) n = n * 10 + static_cast<std::uint32_t>(text[k] - '0');
  if (k == 0 || text[k] != '\0' || n < 1 || n > kLargest) return false;
  scale = n;
  return true;
}

// The refusal: the error line on standard error, the usage line after it
// when an argument was wrong; status 2.
int Refuse(const std::string& error, bool usage) {
  std::fputs((error + (usage ? kUsageLine : "")).c_str(), stderr);
  return 2;
}

bool Is(const char* arg, const char* name) { return std::strcmp(arg, name) == 0; }

}  // namespace

std::optional<int> HandleArguments(int argc, const char* const argv[], WindowChoice& choice) {
  choice = {};
  if (argc == 2 && Is(argv[1], "--help")) return Answer(std::string(kUsageLine) + "\n" + kHelp);
  if (argc == 2 && Is(argv[1], "--version")) return Answer("stackfall " STACKFALL_VERSION "\n");
  const char* fromEnvironment = std::getenv("STACKFALL_SCALE");
  if (fromEnvironment && *fromEnvironment && !ReadScale(fromEnvironment, choice.scale))
    return Refuse("stackfall: STACKFALL_SCALE='" + Shown(fromEnvironment) + "' is not a whole number from 1 to 8\n",
                  false);
  bool alone = false;  // --help or --version among others
  const char* other = nullptr;
  for (int k = 1; k < argc; ++k) {
    const char* arg = argv[k];
    if (Is(arg, "--help") || Is(arg, "--version")) {
      alone = true;
      continue;
    }
    if (!other) other = arg;
    if (Is(arg, "--fullscreen")) {
      choice.fullScreen = true;
    } else if (Is(arg, "--scale") || std::strncmp(arg, "--scale=", 8) == 0) {
      const char* value = arg[7] == '=' ? arg + 8 : k + 1 < argc ? argv[++k] : nullptr;
      if (!value) return Refuse("stackfall: --scale needs a whole number from 1 to 8\n", true);
      if (!ReadScale(value, choice.scale))
        return Refuse("stackfall: --scale '" + Shown(value) + "' is not a whole number from 1 to 8\n", true);
    } else {
      return Refuse("stackfall: unexpected argument '" + Shown(arg) + "'\n", true);
    }
  }
  // --help and --version stand alone: the first argument beside them is refused.
  if (alone) return Refuse("stackfall: unexpected argument '" + Shown(other ? other : argv[2]) + "'\n", true);
  return std::nullopt;
}

}  // namespace Game
