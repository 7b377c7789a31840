// termframes: the screens of a game square by square, as the terminal view
// is to show them, from the program body run in virtual time (the scenario
// player of tests/game/Scenario.h) with the keys of a script, for the
// terminal view's end-to-end test to hold its captures against.
//
//   termframes [KEY@FALLS ...]
//
// Each KEY is typed in the first game's play once FALLS rows of fall have
// gone by; q follows 120 falls (a minute) after the last, long before the
// pieces reach the top, and N answers the game-over question. So the frames
// hold every screen the game shows with those keys for a minute after the
// last, however long the test takes to look meanwhile. Every distinct
// screen is printed: a line "# LABEL" (title-band, title-picture,
// instructions, play, game-over), then 40 lines of 37
// characters, one a square: the colour number of the back buffer's pixel in
// the square's middle in hex, ? when it is none of the palette, t where a
// text lies over the square (as the terminal view keeps the texts).
#include "../game/Scenario.h"

#include "graph/Picture.h"
#include "graph/TermMap.h"
#include "graph/TextLayer.h"

#include <cstdio>
#include <mutex>
#include <string>

namespace {

using namespace Scenario;

std::string last;

// Read at every wait of the game: one look at the back buffer, under its lock.
std::string Squares() {
  std::lock_guard lock(Graph::Picture::SurfaceLock());
  const Graph::Raster::Canvas c = Graph::Picture::Canvas();
  std::vector<Platform::TermCell> cells;
  Graph::Picture::Facts facts;
  facts.square = 15;
  facts.origin = 1;
  Graph::TermMap::Map(c, facts, cells);  // for the texts alone
  std::string out;
  if (cells.size() != 74 * 40) return out;
  for (std::uint32_t r = 0; r < 40; ++r) {
    for (std::uint32_t k = 0; k < 37; ++k) {
      const std::size_t at = r * 74 + 2 * k;
      const bool text = cells[at].ch != ' ' || cells[at + 1].ch != ' ' || cells[at].bg != cells[at].fg ||
                        cells[at + 1].bg != cells[at + 1].fg;
      const std::uint32_t rgb = c.pixels[(r * 15 + 8) * c.width + k * 15 + 8];
      char square = '?';
      for (int n = 0; n < 16; ++n)
        if (TestPalette::kStandard[n] == rgb) square = "0123456789abcdef"[n];
      out += text ? 't' : square;
    }
    out += '\n';
  }
  return out;
}

void Dump(const char* label) {
  const std::string squares = Squares();
  if (squares == last) return;
  last = squares;
  std::printf("# %s\n%s", label, squares.c_str());
}

std::int32_t OnSound(std::string_view name, std::uint32_t) {
  if (name == "any_key.wav") Dump("instructions");  // the instructions are drawn, their key not yet read
  return 1;
}

void OnConsole(std::string_view s) {
  // The line after the game-over question's answer: the picture is complete.
  if (s.substr(0, 1) == "\n" && (Game::game_over || Game::arrow == 'q')) Dump("game-over");
}

}  // namespace

int main(int argc, char** argv) {
  Player player;
  player.soundWorks = true;  // so that the game asks for its sounds, which mark the screens
  // The title's second wait follows the whole picture, its third the band
  // over it (the first comes before any picture).
  player.steps.push_back({1, Phase::Title, 1, "", [] { Dump("title-picture"); }});
  player.steps.push_back({1, Phase::Title, 2, "  ", [] { Dump("title-band"); }});
  std::uint64_t falls = 0;
  for (int k = 1; k < argc; ++k) {
    const std::string arg = argv[k];
    const std::size_t at = arg.find('@');
    if (at != 1) {
      std::fprintf(stderr, "usage: termframes [KEY@FALLS ...]\n");
      return 2;
    }
    falls = std::stoull(arg.substr(2));
    player.steps.push_back({1, Phase::Play, falls * 500 + 250, arg.substr(0, 1)});
  }
  player.steps.push_back({1, Phase::Play, (falls + 120) * 500 + 250, "q"});
  player.everyWait = [&player] {
    if (player.phase == Phase::Play) Dump("play");
  };
  player.Prepare();
  {
    std::lock_guard lock(Graph::Picture::SurfaceLock());
    Graph::TextLayer::Keep(true);  // as the terminal view keeps them
  }
  StandardSound::PlaySoundRedirect = OnSound;
  IO::WrStrRedirect = OnConsole;
  Game::ProgramBody();
  player.Finish();
  std::fflush(stdout);
  return ::testing::UnitTest::GetInstance()->ad_hoc_test_result().Failed() ? 1 : 0;
}
