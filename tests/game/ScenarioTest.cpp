// The program body played in virtual time: keys typed at chosen moments,
// the board, the score and the screens read back from the window's back
// buffer, the console and the sound requests captured. See Scenario.h.
#include "Scenario.h"

#include "game/Board.h"
#include "game/Screens.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

namespace {

using namespace Scenario;
using Game::scherm;

using Cell = std::pair<std::uint32_t, std::uint32_t>;

// The first piece of every run, type 1 in colour 15, as spawned.
const std::vector<Cell> kFirstPiece = {{11, 1}, {11, 2}, {12, 2}, {12, 3}};

::testing::AssertionResult AllAre(const std::vector<Cell>& cells, Game::BewegingEn state, std::uint32_t kleur) {
  for (auto [x, y] : cells) {
    if (scherm[x][y].Beweging != state || scherm[x][y].Kleur != kleur) {
      return ::testing::AssertionFailure() << "cell (" << x << ", " << y << ") is " << int{scherm[x][y].Beweging}
                                           << " colour " << scherm[x][y].Kleur;
    }
  }
  return ::testing::AssertionSuccess();
}

std::vector<Cell> Shifted(const std::vector<Cell>& cells, int dx, int dy) {
  std::vector<Cell> out;
  for (auto [x, y] : cells) out.push_back({x + dx, y + dy});
  return out;
}

// Pixels of the box with the colours found there, counted.
std::vector<int> ColoursIn(std::uint32_t x0, std::uint32_t y0, std::uint32_t x1, std::uint32_t y1) {
  std::vector<int> count(17, 0);
  for (std::uint32_t y = y0; y <= y1; ++y)
    for (std::uint32_t x = x0; x <= x1; ++x) ++count[ColourAt(x, y) + 1];
  return count;
}

// The generator's state after `calls` numbers of a run.
std::uint32_t SeedAfter(int calls) {
  std::uint32_t seed = 0;
  for (int k = 0; k < calls; ++k) seed = (seed * 351 + 138) % 1013;
  return seed;
}

// Text cells of the window's font: 8 x 16.
constexpr std::uint32_t kTextWidth = 8, kTextDepth = 16;

const std::string kSoundCheckFailed =
    "\nYou should here sound now, this to check whether sound works on your system...\n\n"
    "Sound can NOT be used on your system!\nAll sound events will be desactivated.\n\n"
    "Sound doesn't work on this computer...\n";

// The board as the first DrawScreen leaves it, pixel for pixel: walls in
// colour 12, the first piece in 15, the grey lattice dots except where the
// redraw around the piece (columns 10 to 15, rows 0 to 4) painted over them.
::testing::AssertionResult BoardAtFirstPiece() {
  for (std::uint32_t y = 1; y <= 480; ++y) {
    for (std::uint32_t x = 1; x <= 345; ++x) {
      const std::uint32_t cx = (x - 1) / 15, cy = (y - 1) / 15;
      int want = (cx == 0 || cx == 22 || cy == 0 || cy == 31) ? 12 : 0;
      for (auto [px, py] : kFirstPiece)
        if (px == cx && py == cy) want = 15;
      constexpr std::uint32_t kRight = Game::kRightWall * Game::kCellSize, kBottom = Game::kFloor * Game::kCellSize;
      const bool dot = x % Game::kCellSize == 0 && y % Game::kCellSize == 0 && x <= kRight && y <= kBottom &&
                       !(x == kRight && y == kBottom);
      const bool redrawn = cx >= 10 && cx <= 15 && cy <= 4;
      if (dot && !redrawn) want = 8;
      if (ColourAt(x, y) != want) {
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is colour " << ColourAt(x, y)
                                             << ", expected " << want;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

// Under ThreadSanitizer the game-over picture alone (some 2 GB of pixel
// copies through its memmove check) takes ten seconds. The threads are the
// same in every scenario; the run without a display, the instructions and
// the soak keep them under its eye, and the drawing-heavy scenarios run in
// the normal and the AddressSanitizer builds.
#if defined(__SANITIZE_THREAD__)
#define DRAWING_HEAVY() GTEST_SKIP() << "drawing-heavy: checked in the normal and AddressSanitizer builds"
#else
#define DRAWING_HEAVY() (void)0
#endif

class ScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Nothing may wait in the key queue from an earlier test in this process.
    EventQueue::Flush();
  }
  Player player;
};

// ---------------------------------------------------------------- a whole game with no key
// Watched from the title to the game-over picture.

TEST_F(ScenarioTest, GameWithNoKeyFromTitleToGameOver) {
  DRAWING_HEAVY();
  player.steps = {
      // The first wait of the title comes after the band: the title word is
      // gone. The second comes after the picture: it is back. It blinks.
      {1, Phase::Title, 0, "", [] {
         for (std::uint32_t r = 8; r <= 18; ++r)
           for (std::uint32_t c = 1; c <= 21; ++c) EXPECT_EQ(ColourAt(c * Game::kCellSize + 7, r * Game::kCellSize + 7), 14) << c << "," << r;
       }},
      {1, Phase::Title, 1, "xy", [] {
         for (std::uint32_t r = 1; r <= Game::kIntroRows; ++r)
           for (std::uint32_t c = 1; c <= Game::kIntroColumns; ++c)
             ASSERT_EQ(ColourAt(c * Game::kCellSize + 7, r * Game::kCellSize + 7),
                       static_cast<int>(Game::colorMap[Game::intro[r - 1][c - 1] - 'a']))
                 << "title square " << c << ", " << r;
       }},
      {1, Phase::Play, 0, "", [] {
         EXPECT_EQ(Game::typegetal, 1u);
         EXPECT_TRUE(AllAre({{11, 1}, {11, 2}, {12, 3}}, Game::Bewegend, 15));
         EXPECT_TRUE(AllAre({{12, 2}}, Game::CBewegend, 15));
         EXPECT_TRUE(BoardAtFirstPiece());
         // Pixel column 0 and row 0 belong to no cell.
         for (std::uint32_t k = 0; k < 555; ++k) ASSERT_EQ(ColourAt(k, 0), 0) << k;
         for (std::uint32_t k = 0; k < 600; ++k) ASSERT_EQ(ColourAt(0, k), 0) << k;
         // The credits under the board, in colour 3; no score yet.
         EXPECT_GT(ColoursIn(20, 500, 500, 535)[3 + 1], 200);
         EXPECT_EQ(ColoursIn(346, 0, 554, 480)[0 + 1], 209 * 481);
       }},
      // One row every 500 ms.
      {1, Phase::Play, 490, "", [] { EXPECT_EQ(Game::yC, 2u); }},
      {1, Phase::Play, 510, "", [] {
         EXPECT_EQ(Game::yC, 3u);
         EXPECT_EQ(CellColour(11, 1), 0);
         EXPECT_EQ(CellColour(11, 2), 15);
         EXPECT_EQ(CellColour(12, 4), 15);
       }},
      {1, Phase::Play, 1010, "", [] { EXPECT_EQ(Game::yC, 4u); }},
      // Lands on the floor after 27 rows, at the end of the 28th interval:
      // the full redraw has taken every dot away, the score is shown.
      {1, Phase::Play, 14005, "", [] {
         EXPECT_TRUE(AllAre(Shifted(kFirstPiece, 0, 27), Game::Stil, 15));
         EXPECT_EQ(Game::typegetal, 2u);
         EXPECT_EQ(ColoursIn(1, 1, 345, 480)[8 + 1], 0) << "lattice dots left after the full redraw";
         EXPECT_GT(ColoursIn(390, 50, 445, 65)[3 + 1], 20) << "Score: ";
         EXPECT_GT(ColoursIn(450, 50, 457, 65)[3 + 1], 10) << "0";
       }},
      // The game-over picture flashes: class a takes colours 5, 9, 5, 9.
      {1, Phase::GameOver, 0, "", [] { EXPECT_EQ(ColourAt(400, 580), 5); }},
      {1, Phase::GameOver, 1, "", [] { EXPECT_EQ(ColourAt(400, 580), 9); }},
      {1, Phase::GameOver, 2, "", [] { EXPECT_EQ(ColourAt(400, 580), 5); }},
      {1, Phase::GameOver, 3, "N", [] { EXPECT_EQ(ColourAt(400, 580), 9); }},
  };
  player.RunProgram();

  // Ended by a spawn that did not fit, no key read in play, no row removed.
  EXPECT_TRUE(Game::game_over);
  EXPECT_EQ(Game::arrow, 'a');
  EXPECT_EQ(Game::score, 0u);
  EXPECT_EQ(Game::newgame, 'N');
  EXPECT_EQ(player.console, kSoundCheckFailed + "\n\n" + "\n");
  EXPECT_EQ(player.waitsOnScreen.size(), 2u);  // one title, one game over
  EXPECT_EQ(player.waitsOnScreen[1], 4u);      // two passes of three frames, a wait between frames

  // The last frame: the picture in colorMap3, blocks of 15 from (15, 15).
  for (std::uint32_t r = 1; r <= Game::kGameOverRows; ++r)
    for (std::uint32_t c = 1; c <= Game::kGameOverColumns; ++c)
      ASSERT_EQ(ColourAt(c * Game::kCellSize + 7, r * Game::kCellSize + 7),
                static_cast<int>(Game::colorMap3[Game::gameOver[r - 1][c - 1] - 'a']))
          << "game-over block " << c << ", " << r;
  // Right of x 360 and below y 450 all class a (colour 2), but for the
  // texts; the top and left margins keep the cleared screen.
  const std::vector<std::pair<Cell, std::uint32_t>> texts = {
      {{25, 450}, 13}, {{170, 450}, 1}, {{25, 495}, 30}};
  for (std::uint32_t y = 0; y < 600; ++y) {
    for (std::uint32_t x = 0; x < 555; ++x) {
      if (x < 15 || y < 15) {
        ASSERT_EQ(ColourAt(x, y), 0) << "margin pixel " << x << ", " << y;
        continue;
      }
      if (x < 360 && y < 450) continue;
      bool inText = false;
      for (auto [at, length] : texts)
        inText = inText || (x >= at.first && x < at.first + length * kTextWidth && y >= at.second &&
                            y < at.second + kTextDepth);
      if (inText) continue;
      ASSERT_EQ(ColourAt(x, y), 2) << "pixel " << x << ", " << y;
    }
  }
  EXPECT_GT(ColoursIn(25, 450, 25 + 13 * kTextWidth, 465)[12 + 1], 30) << "Uw score was:";
  EXPECT_GT(ColoursIn(170, 450, 177, 465)[12 + 1], 10) << "0";
  EXPECT_GT(ColoursIn(25, 495, 25 + 30 * kTextWidth, 510)[15 + 1], 60) << "Druk op een n voor nieuw spel.";
}

// ---------------------------------------------------------------- keys on the screens around the game

TEST_F(ScenarioTest, KeysTypedBeforeTheTitleAreTakenByTheScreensNotByTheGame) {
  DRAWING_HEAVY();
  // q and 4 typed before the program starts: the title still blinks once in
  // full (band, wait, picture, wait), then takes q; the instructions take 4.
  player.typedFirst = "q4";
  player.steps = {
      {1, Phase::Title, 0, ""},  // nothing more typed on the title
      {1, Phase::Play, 0, "", [] {
         EXPECT_EQ(Game::arrow, 'a');
         EXPECT_EQ(Game::xC, 12u);
         EXPECT_FALSE(IO::KeyPressed());
       }},
      {1, Phase::Play, 100, "q"},
  };
  player.RunProgram();
  ASSERT_FALSE(player.waitsOnScreen.empty());
  EXPECT_EQ(player.waitsOnScreen[0], 2u);
}

TEST_F(ScenarioTest, InstructionsShowTheirNineLinesAndTakeOneKey) {
  player.Prepare();
  ASSERT_TRUE(Graph::Init(1, 1, 555, 600));
  // A text window of one cell: the clearing at the end spares the lines.
  Graph::SetTextWindow(1, 1, 1, 1);
  Player::TypeAndFence("5");
  Game::Instructies();
  player.Finish();
  EXPECT_FALSE(IO::KeyPressed());

  struct Line {
    std::uint32_t x, y, colour, length;
  };
  const Line lines[] = {{30, 30, 14, 11},  {40, 80, 13, 28},  {50, 105, 9, 26}, {50, 130, 9, 27}, {50, 155, 9, 26},
                        {50, 180, 9, 30},  {50, 205, 9, 37},  {40, 255, 13, 40}, {30, 305, 14, 35}};
  std::uint32_t inked = 0;
  for (const Line& l : lines) {
    // Ink only in the line's own colour, from its first to its last cell.
    const std::vector<int> in = ColoursIn(l.x, l.y, l.x + l.length * kTextWidth - 1, l.y + kTextDepth - 1);
    EXPECT_GT(in[l.colour + 1], 0) << "line at " << l.y;
    EXPECT_EQ(in[l.colour + 1] + in[0 + 1], static_cast<int>(l.length * kTextWidth * kTextDepth)) << l.y;
    EXPECT_GT(ColoursIn(l.x + (l.length - 1) * kTextWidth, l.y, l.x + l.length * kTextWidth - 1,
                        l.y + kTextDepth - 1)[l.colour + 1],
              0)
        << "last character of the line at " << l.y;
    inked += in[l.colour + 1];
  }
  // Nothing else on the screen.
  EXPECT_EQ(ColoursIn(0, 0, 554, 599)[0 + 1] + static_cast<int>(inked), 555 * 600);

  // The ë of "beëindigen" is one character, code page 1252 EBH: drawn as
  // that byte draws it, and not as a plain e.
  const std::uint32_t x = 40 + 32 * kTextWidth, y = 255;
  std::vector<int> game;
  for (std::uint32_t dy = 0; dy < kTextDepth; ++dy)
    for (std::uint32_t dx = 0; dx < kTextWidth; ++dx) game.push_back(ColourAt(x + dx, y + dy));
  auto drawn = [](const char* text) {
    Graph::RawOutText(400, 400, 13, text);
    std::vector<int> out;
    for (std::uint32_t dy = 0; dy < kTextDepth; ++dy)
      for (std::uint32_t dx = 0; dx < kTextWidth; ++dx) out.push_back(ColourAt(400 + dx, 400 + dy));
    return out;
  };
  EXPECT_EQ(game, drawn("\xEB"));
  EXPECT_NE(game, drawn("e"));
}

// ---------------------------------------------------------------- keys in play

TEST_F(ScenarioTest, DropThenLeftInOneIntervalMovesTheDroppedPieceBeforeItLands) {
  DRAWING_HEAVY();
  player.steps = {
      {1, Phase::Play, 100, "0"},
      {1, Phase::Play, 150, "", [] {
         EXPECT_TRUE(AllAre({{11, 28}, {11, 29}, {12, 30}}, Game::Bewegend, 15));
         // After 0 the whole board is redrawn: the dots are gone already.
         EXPECT_EQ(ColoursIn(1, 1, 345, 480)[8 + 1], 0);
       }},
      {1, Phase::Play, 200, "4"},
      {1, Phase::Play, 505, "q", [] {
         EXPECT_TRUE(AllAre({{10, 28}, {10, 29}, {11, 29}, {11, 30}}, Game::Stil, 15));
         EXPECT_EQ(CellColour(10, 28), 15);
         EXPECT_EQ(CellColour(12, 30), 0);
         EXPECT_EQ(Game::typegetal, 2u);
       }},
  };
  player.RunProgram();
}

TEST_F(ScenarioTest, QuitMidFallLandsThePieceInMidAirCountsItsRowsAndSpawnsNoMore) {
  DRAWING_HEAVY();
  player.steps = {
      // Row 5 full but where the piece will stop.
      {1, Phase::Play, 0, "", [] { FillRow(5, {11, 12}); }},
      {1, Phase::Play, 1100, "q", [] { EXPECT_EQ(Game::yC, 4u); }},
      {1, Phase::Play, 1490, "", [] { EXPECT_EQ(Game::arrow, 'q'); }},
  };
  player.RunProgram();
  // One more row at the end of the interval, then landed where it was:
  // row 5 was full and went, the piece's top cell came down with row 4.
  EXPECT_EQ(Game::score, 1u);
  EXPECT_TRUE(AllAre({{11, 5}, {12, 6}}, Game::Stil, 15));
  EXPECT_EQ(scherm[11][4].Beweging, Game::Leeg);
  EXPECT_EQ(scherm[12][5].Beweging, Game::Leeg);
  EXPECT_EQ(Game::gSeed, SeedAfter(3)) << "a second piece was dealt";
  EXPECT_EQ(player.PlayTime(), 1500u + 40u) << "the game-over screen's four waits after the interval";
}

TEST_F(ScenarioTest, QuitFollowedByAnotherKeyInTheSameIntervalDoesNotEndTheGame) {
  DRAWING_HEAVY();
  player.steps = {
      {1, Phase::Play, 1100, "q"},
      {1, Phase::Play, 1200, "3"},
      {1, Phase::Play, 1510, "", [] {
         EXPECT_EQ(Game::arrow, '3');
         EXPECT_EQ(Game::yC, 5u);
         EXPECT_EQ(Game::typegetal, 1u) << "still the first piece";
       }},
      {1, Phase::Play, 1600, "0"},
      {1, Phase::Play, 2005, "q", [] { EXPECT_EQ(Game::typegetal, 2u) << "the next piece"; }},
  };
  player.RunProgram();
  EXPECT_TRUE(AllAre(Shifted(kFirstPiece, 0, 27), Game::Stil, 15));
}

TEST_F(ScenarioTest, SpeedKeyGives300Then180ThenNothing) {
  DRAWING_HEAVY();
  player.steps = {
      {1, Phase::Play, 100, "1"},
      {1, Phase::Play, 150, "", [] { EXPECT_EQ(Game::droprate, 300u); }},
      {1, Phase::Play, 200, "1"},
      // Read at 200 with 210 ms counted: the interval is over at once.
      {1, Phase::Play, 205, "", [] {
         EXPECT_EQ(Game::droprate, 180u);
         EXPECT_EQ(Game::yC, 2u);
       }},
      {1, Phase::Play, 215, "", [] { EXPECT_EQ(Game::yC, 3u); }},
      {1, Phase::Play, 300, "1"},
      {1, Phase::Play, 385, "", [] {
         EXPECT_EQ(Game::droprate, 180u);
         EXPECT_EQ(Game::yC, 3u);
       }},
      {1, Phase::Play, 395, "q", [] { EXPECT_EQ(Game::yC, 4u); }},
  };
  player.RunProgram();
  EXPECT_EQ(Game::i, 1u);
}

// ---------------------------------------------------------------- keys as they arrive
// The loop sleeps until a key comes or the interval
// ends, and a key acts within the tick it arrives in.

struct Moment {
  std::uint64_t at;  // play time of a wait
  std::uint32_t xC, yC;
};

// Waits asked for and pauses made, through the player's own redirects.
std::vector<std::uint32_t> waitsAsked, delaysMade;
Lib::WaitProc playerWait;
Lib::DelayProc playerDelay;
std::uint32_t CountWait(std::uint32_t ms) {
  waitsAsked.push_back(ms);
  return playerWait(ms);
}
void CountDelay(std::uint32_t ms) {
  delaysMade.push_back(ms);
  playerDelay(ms);
}

// The play loop alone, as the soak test frames a game, with the piece's
// place at every wait; the steps must end it with q.
std::vector<Moment> PlayAlone(Player& player) {
  std::vector<Moment> seen;
  player.everyWait = [&] { seen.push_back({player.PlayTime(), Game::xC, Game::yC}); };
  player.Prepare();
  playerWait = std::exchange(Lib::WaitRedirect, CountWait);
  playerDelay = std::exchange(Lib::DelayRedirect, CountDelay);
  waitsAsked.clear();
  delaysMade.clear();
  Game::StartGameState();
  Game::FillScreen();
  Game::DrawFullScreen();
  Game::PlayLoop();
  player.Finish();
  return seen;
}

Moment At(const std::vector<Moment>& seen, std::uint64_t at) {
  for (const Moment& m : seen)
    if (m.at == at) return m;
  ADD_FAILURE() << "no wait at " << at;
  return {};
}

// Play times of the first wait after each fall.
std::vector<std::uint64_t> Falls(const std::vector<Moment>& seen) {
  std::vector<std::uint64_t> out;
  for (std::size_t k = 1; k < seen.size(); ++k)
    if (seen[k].yC != seen[k - 1].yC) out.push_back(seen[k].at);
  return out;
}

TEST_F(ScenarioTest, AKeyActsInTheTickItArrivesInAndASecondKeyOfThatTickInTheNext) {
  player.steps = {{1, Phase::Play, 105, "44"}, {1, Phase::Play, 600, "q"}};
  const std::vector<Moment> seen = PlayAlone(player);
  EXPECT_EQ(At(seen, 105).xC, 12u);
  EXPECT_EQ(At(seen, 110).xC, 11u) << "the key of 105 waited for the next tick";
  EXPECT_EQ(At(seen, 120).xC, 10u);
  // The key's tick pauses its rest, the next tick its whole 10 ms; then one
  // wait to the interval's end.
  ASSERT_GE(delaysMade.size(), 2u);
  EXPECT_EQ(delaysMade[0], 5u);
  EXPECT_EQ(delaysMade[1], 10u);
  ASSERT_GE(waitsAsked.size(), 3u);
  EXPECT_EQ(waitsAsked[0], 500u);
  EXPECT_EQ(waitsAsked[1], 380u);
}

TEST_F(ScenarioTest, TheIntervalKeepsItsTicksWithAndWithoutKeys) {
  Player quiet;
  quiet.steps = {{1, Phase::Play, 1600, "q"}};
  const std::vector<Moment> still = PlayAlone(quiet);
  // With no key: one wait a fall interval, no pause at all.
  EXPECT_EQ(Falls(still), (std::vector<std::uint64_t>{510, 1010, 1510}));
  EXPECT_EQ(waitsAsked, (std::vector<std::uint32_t>{500, 500, 500, 500, 390}));
  EXPECT_EQ(delaysMade, std::vector<std::uint32_t>{10});  // q's tick, at 1600

  // Keys that change nothing, mid-tick, two in a tick, in an interval's
  // first and last ticks.
  Player busy;
  busy.steps = {{1, Phase::Play, 3, "3"},      {1, Phase::Play, 105, "x3"}, {1, Phase::Play, 497, " "},
                {1, Phase::Play, 1000, "3"}, {1, Phase::Play, 1234, "x"}, {1, Phase::Play, 1600, "q"}};
  const std::vector<Moment> typed = PlayAlone(busy);
  EXPECT_EQ(Falls(typed), Falls(still));
  EXPECT_EQ(Game::arrow, 'q');
}

// ---------------------------------------------------------------- score and speed-ups
// Rows are laid ready so that the dropped piece
// completes them: the first piece (columns 11, 12) lands on the floor in
// (11, 28), (11, 29), (12, 29), (12, 30); the second (columns 14, 15) in
// (15, 28), (14, 29), (15, 29), (14, 30).

TEST_F(ScenarioTest, EveryThirdRowShortensTheIntervalTo400Then320) {
  DRAWING_HEAVY();
  player.steps = {
      {1, Phase::Play, 0, "0", [] {
         Game::score = 2;
         FillRow(30, {12});
       }},
      // Landed at 500 with the third row: 400 ms from the next piece on.
      {1, Phase::Play, 890, "", [] {
         EXPECT_EQ(Game::score, 3u);
         EXPECT_EQ(Game::droprate, 400u);
         EXPECT_EQ(Game::i, 2u);
         EXPECT_EQ(Game::typegetal, 2u);
         EXPECT_EQ(Game::yC, 2u);
       }},
      {1, Phase::Play, 910, "", [] { EXPECT_EQ(Game::yC, 3u); }},
      {1, Phase::Play, 1310, "", [] {
         EXPECT_EQ(Game::yC, 4u);
         Game::score = 5;
         FillRow(30, {14});
       }},
      {1, Phase::Play, 1400, "0"},
      // Landed at 1700 with the sixth row: 320 ms.
      {1, Phase::Play, 2010, "", [] {
         EXPECT_EQ(Game::score, 6u);
         EXPECT_EQ(Game::droprate, 320u);
         EXPECT_EQ(Game::i, 3u);
         EXPECT_EQ(Game::yC, 2u);
       }},
      {1, Phase::Play, 2030, "q", [] { EXPECT_EQ(Game::yC, 3u); }},
  };
  player.RunProgram();
}

TEST_F(ScenarioTest, TwoRowsAtOnceFromTwoToFourMakeNoSpeedUpForTheRestOfTheGame) {
  DRAWING_HEAVY();
  player.steps = {
      {1, Phase::Play, 0, "0", [] {
         Game::score = 2;
         FillRow(30, {12});
         FillRow(29, {11, 12});
       }},
      {1, Phase::Play, 505, "", [] {
         EXPECT_EQ(Game::score, 4u);
         EXPECT_EQ(Game::droprate, 500u);
         EXPECT_EQ(Game::i, 1u);
         FillRow(30, {14});
       }},
      {1, Phase::Play, 600, "0"},
      {1, Phase::Play, 1005, "q", [] {
         EXPECT_EQ(Game::score, 5u);
         EXPECT_EQ(Game::droprate, 500u);
         EXPECT_EQ(Game::i, 1u);
       }},
  };
  player.RunProgram();
}

TEST_F(ScenarioTest, ScoreIsWrittenWithItsBlankAndOverTheOldDigitsWithoutErasing) {
  DRAWING_HEAVY();
  player.steps = {
      {1, Phase::Play, 0, "0", [] {
         // A ground of colour 7 where the score goes.
         Graph::Rectangle(380, 40, 520, 80, 7, true);
         FillRow(30, {12});
       }},
      {1, Phase::Play, 505, "q", [] {
         // "Score: " from 390, seven cells: the blank's cell painted in the
         // background colour; the four pixels up to the digits kept.
         EXPECT_EQ(ColoursIn(390 + 6 * kTextWidth, 50, 390 + 7 * kTextWidth - 1, 65)[0 + 1],
                   static_cast<int>(kTextWidth * kTextDepth));
         EXPECT_EQ(ColoursIn(446, 50, 449, 65)[7 + 1], 4 * 16);
         EXPECT_GT(ColoursIn(450, 50, 457, 65)[3 + 1], 10);
         // Whatever lies right of the digits is left as it was.
         EXPECT_EQ(ColoursIn(458, 50, 520, 65)[7 + 1], 63 * 16);
       }},
  };
  player.RunProgram();
  EXPECT_EQ(Game::score, 1u);
}

TEST_F(ScenarioTest, SpawnThatDoesNotFitEndsTheGameOnceItHasLanded) {
  DRAWING_HEAVY();
  player.steps = {
      // A settled cell where the second piece's top cell goes.
      {1, Phase::Play, 0, "0", [] { scherm[15][1] = {Game::Stil, 7}; }},
      {1, Phase::Play, 505, "", [] {
         EXPECT_TRUE(Game::game_over);
         EXPECT_EQ(Game::typegetal, 2u);
         // Repainted in the new piece's colour; the rest of the piece falls.
         EXPECT_TRUE(AllAre({{15, 1}}, Game::Stil, 12));
         EXPECT_TRUE(AllAre({{15, 2}, {14, 3}}, Game::Bewegend, 12));
       }},
  };
  player.RunProgram();
  EXPECT_TRUE(AllAre({{14, 29}, {15, 29}, {14, 30}}, Game::Stil, 12));
  EXPECT_EQ(Game::gSeed, SeedAfter(6)) << "dealt a third piece";
  EXPECT_EQ(Game::arrow, '0');
}

// ---------------------------------------------------------------- successive games

TEST_F(ScenarioTest, SecondGameStartsAfreshWithTheNextPiecesOfTheSequence) {
  DRAWING_HEAVY();
  player.soundWorks = true;
  player.steps = {
      {1, Phase::Play, 0, "1", [] { FillRow(30, {12}); }},
      {1, Phase::Play, 100, "0"},
      {1, Phase::Play, 200, "q"},
      {1, Phase::GameOver, 0, "n", [] {
         EXPECT_EQ(Game::score, 1u);
         EXPECT_EQ(Game::droprate, 300u);
       }},
      {2, Phase::Play, 0, "", [] {
         EXPECT_EQ(Game::score, 0u);
         EXPECT_EQ(Game::droprate, 500u);
         EXPECT_EQ(Game::i, 1u);
         EXPECT_EQ(Game::arrow, 'a');
         EXPECT_FALSE(Game::game_over);
         // The second piece of the run: type 2 in colour 12 from column 14.
         EXPECT_EQ(Game::typegetal, 2u);
         EXPECT_TRUE(AllAre({{15, 1}, {15, 2}, {14, 3}}, Game::Bewegend, 12));
         EXPECT_TRUE(AllAre({{14, 2}}, Game::CBewegend, 12));
         // A fresh board: no trace of the first game's cells.
         EXPECT_EQ(scherm[11][30].Beweging, Game::Leeg);
         EXPECT_EQ(CellColour(11, 30), 0);
       }},
      {2, Phase::Play, 100, "q"},
      {2, Phase::GameOver, 0, "q"},  // any key but n ends the program
  };
  player.RunProgram();
  EXPECT_EQ(player.game, 2);
  EXPECT_EQ(Game::newgame, 'q');
  // Two empty lines before every game, one line after each answer.
  EXPECT_EQ(player.console,
            "\nYou should here sound now, this to check whether sound works on your system...\n\n"
            "\n\nSound works fine!\nSound works on this computer\n"
            "\n\n\n"
            "\n\n\n");
  // The check sound, then per game the title, the instructions, each row,
  // and the game-over request that has no file.
  const std::uint32_t async = StandardSound::SND_FILENAME | StandardSound::SND_ASYNC;
  ASSERT_EQ(player.sounds.size(), 1u + 4u + 3u);
  // A path, or the bare name when the checkout is too deep for the name's 100 characters.
  EXPECT_TRUE(player.sounds[0].name.ends_with("/thx.wav") || player.sounds[0].name == "thx.wav")
      << player.sounds[0].name;
  const std::vector<std::pair<std::string, std::uint32_t>> game = {
      {"startup.wav", async}, {"any_key.wav", async}, {"wohoo.wav", async}, {"", 0}};
  for (std::size_t k = 0; k < 7; ++k) {
    const auto& want = k < 4 ? game[k] : game[k == 6 ? 3 : k - 4];
    EXPECT_EQ(player.sounds[1 + k].name, want.first) << k;
    EXPECT_EQ(player.sounds[1 + k].flags, want.second) << k;
  }
}

TEST_F(ScenarioTest, OnlyALowerCaseNPlaysAgain) {
  DRAWING_HEAVY();
  player.steps = {
      {1, Phase::Play, 100, "q"},
      {1, Phase::GameOver, 0, "N"},
  };
  player.RunProgram();
  EXPECT_EQ(player.game, 1);
  EXPECT_EQ(Game::newgame, 'N');
}

// ---------------------------------------------------------------- no display: the message at every game, and the game played blind

TEST_F(ScenarioTest, WithoutADisplayEveryGameSaysSoAndIsStillPlayed) {
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  unsetenv("SDL_VIDEODRIVER");
  setenv("STACKFALL_VIEW", "window", 1);  // no terminal view either, whatever standard output is
  player.headless = false;
  player.steps = {
      {1, Phase::Play, 100, "0"},
      {1, Phase::Play, 505, "q", [] { EXPECT_TRUE(AllAre(Shifted(kFirstPiece, 0, 27), Game::Stil, 15)); }},
      {1, Phase::GameOver, 0, "n"},
      {2, Phase::Play, 100, "4"},
      // The third piece of the run (game 1 dealt two), one column left.
      {2, Phase::Play, 200, "q", [] { EXPECT_EQ(Game::xC, 17u); }},
  };
  player.RunProgram();
  EXPECT_EQ(player.game, 2);
  EXPECT_TRUE(Graph::ReadBackBuffer().empty());
  const std::string game = "\n\nSorry, graphics doesn't work\n";
  EXPECT_EQ(player.console, kSoundCheckFailed + game + "\n" + game + "\n");
}

}  // namespace
