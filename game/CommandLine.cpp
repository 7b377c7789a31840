// The program's arguments: --help, --version, or a refusal.
#include "game/CommandLine.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace Game {

namespace {

const char kUsageLine[] = "Usage: stackfall [--help | --version]\n";

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
    "  --help     show this text and exit\n"
    "  --version  show the name and version and exit\n"
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

}  // namespace

std::optional<int> HandleArguments(int argc, const char* const argv[]) {
  if (argc <= 1) return std::nullopt;
  const char* first = argv[1];
  if (argc == 2 && std::strcmp(first, "--help") == 0) return Answer(std::string(kUsageLine) + "\n" + kHelp);
  if (argc == 2 && std::strcmp(first, "--version") == 0) return Answer("stackfall " STACKFALL_VERSION "\n");
  // The first argument that is not understood: a second one is never.
  const bool known = std::strcmp(first, "--help") == 0 || std::strcmp(first, "--version") == 0;
  const char* wrong = known ? argv[2] : first;
  const std::string error = "stackfall: unexpected argument '" + Shown(wrong) + "'\n" + kUsageLine;
  std::fputs(error.c_str(), stderr);
  return 2;
}

}  // namespace Game
