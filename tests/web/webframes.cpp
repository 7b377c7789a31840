// webframes: what the page's canvas is to show, from the native program
// body run in virtual time (the scenario player of tests/game/Scenario.h),
// for the browser build's end-to-end test to hold the canvas against.
//
//   webframes OUT            the screens and the console of a game
//   webframes --silent OUT   the console when sound cannot be used
//
// The game: the title, the instructions, then in play, once the first
// piece has fallen four rows, the keys 4, 6, 5, 2 and 0 half a second
// apart; q a second and a half after the drop, N at the question. Written
// to OUT: title.rgb, instructions.rgb, landed.rgb (the board once the piece
// has landed and the next one falls in the top rows), gameover.rgb, each
// the back buffer as bytes R, G, B row after row; keys.txt, the board's
// interior cells after each key (a block "# KEY", then a line of colour
// numbers in hex per row); console.txt, the console text as the title
// first shows. With --silent only console.txt, and the program ends there.
#include "../game/Scenario.h"

#include <cstdio>
#include <string>

namespace {

using namespace Scenario;

std::string out;
std::string console;

void Write(const std::string& name, const std::string& bytes) {
  const std::string path = out + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
    std::perror(path.c_str());
    std::exit(1);
  }
}

void Screen(const std::string& name) {
  std::string rgb;
  rgb.reserve(Game::kWindowWidth * Game::kWindowDepth * 3);
  for (std::uint32_t y = 0; y < Game::kWindowDepth; ++y) {
    for (std::uint32_t x = 0; x < Game::kWindowWidth; ++x) {
      const std::uint32_t p = Graph::Pixel(x, y);
      rgb += static_cast<char>(p >> 16);
      rgb += static_cast<char>(p >> 8);
      rgb += static_cast<char>(p);
    }
  }
  Write(name + ".rgb", rgb);
}

std::string keysText;

void Cells(char key) {
  keysText += std::string("# ") + key + "\n";
  for (std::uint32_t y = Game::kInteriorTop; y <= Game::kInteriorBottom; ++y) {
    for (std::uint32_t x = Game::kInteriorLeft; x <= Game::kInteriorRight; ++x) {
      const int c = CellColour(x, y);
      keysText += c < 0 ? '?' : "0123456789abcdef"[c];
    }
    keysText += '\n';
  }
}

bool instructionsShown = false;
bool soundWorks = true;

std::int32_t OnSound(std::string_view name, std::uint32_t) {
  // The instructions are drawn, their key not yet read.
  if (name == "any_key.wav" && !instructionsShown) {
    instructionsShown = true;
    Screen("instructions");
  }
  return soundWorks ? 1 : 0;
}

void OnConsole(std::string_view s) {
  console.append(s.substr(0, s.find('\0')));
  // The line after the game-over question's answer: the picture is complete.
  if (s.substr(0, 1) == "\n" && (Game::game_over || Game::arrow == 'q')) Screen("gameover");
}

}  // namespace

int main(int argc, char** argv) {
  const bool silent = argc == 3 && std::string(argv[1]) == "--silent";
  if (argc != 2 && !silent) {
    std::fprintf(stderr, "usage: webframes [--silent] OUT\n");
    return 2;
  }
  out = argv[argc - 1];
  Player player;
  soundWorks = player.soundWorks = !silent;
  // The title's first wait comes before any picture; the console has all
  // the sound check has to say by then.
  player.steps.push_back({1, Phase::Title, 0, "", [silent] {
                            Write("console.txt", console);
                            if (silent) {
                              std::fflush(stdout);
                              std::_Exit(0);
                            }
                          }});
  // The third wait follows the band over the whole picture.
  player.steps.push_back({1, Phase::Title, 2, "  ", [] { Screen("title"); }});
  const char keys[] = "46520";
  const std::uint64_t first = 4 * 500 + 250;  // four rows down: no turn meets the top
  for (int k = 0; k < 5; ++k) {
    const std::uint64_t at = first + 500 * static_cast<std::uint64_t>(k);
    player.steps.push_back({1, Phase::Play, at, std::string(1, keys[k])});
    player.steps.push_back({1, Phase::Play, at + 100, "", [key = keys[k]] { Cells(key); }});
  }
  const std::uint64_t dropped = first + 500 * 4;
  player.steps.push_back({1, Phase::Play, dropped + 1500, "", [] { Screen("landed"); }});
  player.steps.push_back({1, Phase::Play, dropped + 2000, "q"});
  player.Prepare();
  StandardSound::PlaySoundRedirect = OnSound;
  IO::WrStrRedirect = OnConsole;
  Game::ProgramBody();
  player.Finish();
  Write("keys.txt", keysText);
  return ::testing::UnitTest::GetInstance()->ad_hoc_test_result().Failed() ? 1 : 0;
}
