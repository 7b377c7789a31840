// Scenarios: the program body (or the play loop alone) run in virtual time.
// Lib::Delay only advances a virtual clock, Lib::WaitForKey advances it in
// ticks of 10 ms or less (to the moment of the next step in play) until a
// key waits, the picture has no view
// (a back buffer, no server), console output and sound requests are
// captured, and keys go into the console input buffer as the terminal would
// write them, at chosen moments of the game, to be read by the real key
// reader thread and key queue.
//
// A moment is a step of the script: a game (from 1), a phase of that game
// and, in play, the virtual milliseconds since its first tick; on the title
// and game-over screens, the number of waits seen on that screen so far. At
// the first wait that reaches it, the step's look runs (on the game's own
// thread, so it may read and set the game's state) and then its keys are
// typed. Before virtual time moves on, a fence record behind the keys makes
// sure the reader has put them all in the key queue: a scenario is
// deterministic however slow the build.
//
// The phase is told from the game's state alone, as the game waits only in
// three places: while a piece falls there are moving cells; on the game-over
// screen there are none and the game is over (a spawn did not fit, or q);
// on the title screen there are none and it is not.
// Depends on: the program body (game_play) and every module under it, GoogleTest.
#pragma once

#include "console/Console.h"
#include "console/EventQueue.h"
#include "console/IO.h"
#include "console/Lib.h"
#include "game/Board.h"
#include "game/Program.h"
#include "game/State.h"
#include "graph/Graph.h"
#include "platform/ConsoleInput.h"
#include "platform/KeyDecoder.h"
#include "sound/StandardSound.h"
#include "../support/GameState.h"
#include "../support/Palette.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace Scenario {

enum class Phase { Title, Play, GameOver };

inline const char* Name(Phase p) { return p == Phase::Title ? "title" : p == Phase::Play ? "play" : "game over"; }

struct Step {
  Step(int game_, Phase phase_, std::uint64_t at_, std::string keys_ = "", std::function<void()> look_ = {})
      : game(game_), phase(phase_), at(at_), keys(std::move(keys_)), look(std::move(look_)) {}

  int game;                     // from 1
  Phase phase;
  std::uint64_t at;             // play: ms since the first tick; screens: waits seen on it
  std::string keys;             // typed in order, as terminal bytes
  std::function<void()> look;   // runs first, on the game's thread
};

struct SoundCall {
  std::string name;
  std::uint32_t flags;
};

// The standard palette, colour number to 0x00RRGGBB.
using TestPalette::kStandard;

// Pixel of the window's back buffer as a colour number, or -1 when it is no
// colour of the palette.
inline int ColourAt(std::uint32_t x, std::uint32_t y) {
  const std::uint32_t rgb = Graph::Pixel(x, y);
  for (int c = 0; c < 16; ++c)
    if (kStandard[c] == rgb) return c;
  return -1;
}

// The colour number the centre of cell (x, y) of the board shows.
inline int CellColour(std::uint32_t x, std::uint32_t y) { return ColourAt(x * 15 + 8, y * Game::kCellSize + 8); }

class Player {
 public:
  std::vector<Step> steps;
  std::string typedFirst;     // typed before the program starts
  bool soundWorks = false;    // what the platform's PlaySound answers
  bool headless = true;       // false: Graph::Init as the program would do it
  std::function<void()> everyWait;  // runs at every wait, before the steps

  // What was seen.
  std::string console;
  std::vector<SoundCall> sounds;
  std::uint64_t now = 0;      // virtual ms
  int game = 0;               // games begun so far
  Phase phase = Phase::GameOver;  // as before a first game
  std::uint64_t playStart = 0;
  std::uint64_t phaseWaits = 0;
  std::vector<std::uint64_t> waitsOnScreen;  // per screen shown, in order: title 1, game over 1, title 2, ...

  // The program body, from start-up to the answer that ends it.
  void RunProgram() {
    Prepare();
    Game::ProgramBody();
    Finish();
  }

  // Game state and module start-up as the program body has them, without
  // the program body: for running parts of it (the play loop) directly.
  void Prepare() {
    GameTest::ResetGameState();
    if (headless) Graph::SelectHeadless();
    StartConsole();
    current = this;
    Lib::DelayRedirect = OnDelay;
    Lib::WaitRedirect = OnWaitForKey;
    IO::WrStrRedirect = OnWrStr;
    StandardSound::PlaySoundRedirect = OnPlaySound;
    if (!typedFirst.empty()) TypeAndFence(typedFirst);
  }

  void Finish() {
    Lib::DelayRedirect = Lib::Sleep;
    Lib::WaitRedirect = Lib::KeyOrTime;
    IO::WrStrRedirect = IO::DefaultWrStr;
    StandardSound::PlaySoundRedirect = Platform::PlaySound;
    current = nullptr;
    for (std::size_t k = next; k < steps.size(); ++k) {
      ADD_FAILURE() << "step " << k << " (game " << steps[k].game << ", " << Name(steps[k].phase) << ", at "
                    << steps[k].at << ") never came";
    }
  }

  // Types `keys` now and waits until the reader has queued them all.
  static void TypeAndFence(const std::string& keys) {
    Platform::KeyDecoder::State state;
    auto put = [](const Platform::KeyDecoder::Event& e, void*) { Platform::WriteConsoleInput(e.record); };
    Platform::KeyDecoder::Feed(state, reinterpret_cast<const std::uint8_t*>(keys.data()), keys.size(), put,
                               nullptr);
    Platform::KeyDecoder::Expire(state, put, nullptr);
    Fence();
  }

  std::uint64_t PlayTime() const { return now - playStart; }

 private:
  static inline Player* current = nullptr;
  static inline std::atomic<std::uint64_t> fencesSeen{0};
  static inline std::uint64_t fencesSent = 0;
  static inline bool consoleStarted = false;

  std::size_t next = 0;
  bool waited = false;

  // Whether a step still to come belongs to this game's present screen.
  bool Scripted() const {
    for (std::size_t k = next; k < steps.size(); ++k)
      if (steps[k].game == game && steps[k].phase == phase) return true;
    return false;
  }

  static bool OnMouse(const EventQueue::MouseRecord&) {
    fencesSeen.fetch_add(1);
    return true;
  }

  static void StartConsole() {
    if (consoleStarted) return;
    consoleStarted = true;
    // Standard input on /dev/null: no test takes over the terminal it runs in.
    const int null = ::open("/dev/null", O_RDONLY);
    ::dup2(null, STDIN_FILENO);
    ::close(null);
    Game::StartModules();
    EventQueue::AddMouseHandler(OnMouse);
  }

  // A mouse record behind the keys: when the reader has offered it to the
  // handlers, every key before it is in the key queue.
  static void Fence() {
    Platform::InputRecord r;
    r.EventType = Platform::MOUSE_EVENT;
    Platform::WriteConsoleInput(r);
    const std::uint64_t want = ++fencesSent;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (fencesSeen.load() < want) {
      if (std::chrono::steady_clock::now() > deadline) {
        std::fprintf(stderr, "scenario: the key reader never took the keys\n");
        std::abort();
      }
      std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
  }

  static void OnWrStr(std::string_view s) { current->console.append(s.substr(0, s.find('\0'))); }

  static std::int32_t OnPlaySound(std::string_view name, std::uint32_t flags) {
    current->sounds.push_back({std::string(name), flags});
    return current->soundWorks ? 1 : 0;
  }

  static bool AnyMoving() {
    for (std::uint32_t x = Game::kInteriorLeft; x <= Game::kInteriorRight; ++x)
      for (std::uint32_t y = Game::kInteriorTop; y <= Game::kInteriorBottom; ++y)
        if (Game::IsMoving(Game::scherm[x][y])) return true;
    return false;
  }

  static Phase Detect() {
    if (AnyMoving()) return Phase::Play;
    return Game::game_over || Game::arrow == 'q' ? Phase::GameOver : Phase::Title;
  }

  static void OnDelay(std::uint32_t ms) { current->Wait(ms); }
  static std::uint32_t OnWaitForKey(std::uint32_t ms) { return current->WaitForKey(ms); }

  // Waits of at most 10 ms, as the ticks came before, so that every step
  // and everyWait still sees each tick; a step in play is met at its own
  // moment, so its keys arrive mid-tick.
  std::uint32_t WaitForKey(std::uint32_t ms) {
    const std::uint64_t start = now, end = now + ms;
    for (;;) {
      std::uint64_t to = std::min(end, now + 10);
      if (waited && phase == Phase::Play && next < steps.size() && steps[next].game == game &&
          steps[next].phase == Phase::Play && playStart + steps[next].at > now)
        to = std::min(to, playStart + steps[next].at);
      Wait(static_cast<std::uint32_t>(to - now));
      if (now >= end || IO::KeyPressed()) return static_cast<std::uint32_t>((now - start) * 1000);
    }
  }

  void Wait(std::uint32_t ms) {
    const std::uint64_t before = now;
    now += ms;
    const Phase seen = Detect();
    if (seen != phase || !waited) {
      // A game begins with its title, or, when the play loop runs alone, with play.
      if (seen == Phase::Title || (seen == Phase::Play && phase == Phase::GameOver)) ++game;
      if (seen == Phase::Play) playStart = before;
      if (seen != Phase::Play) waitsOnScreen.push_back(0);
      phase = seen;
      phaseWaits = 0;
    }
    waited = true;
    if (phase != Phase::Play) ++waitsOnScreen.back();
    if (everyWait) everyWait();
    const bool scripted = Scripted();
    while (next < steps.size() && Due(steps[next])) {
      const Step& step = steps[next++];
      if (step.look) step.look();
      if (!step.keys.empty()) TypeAndFence(step.keys);
    }
    // A screen the script says nothing about still needs its keys, or the
    // program would wait for ever: any key past the title and the
    // instructions, N at the game-over question.
    if (phaseWaits == 0 && !scripted) {
      if (phase == Phase::Title) TypeAndFence("  ");
      if (phase == Phase::GameOver) TypeAndFence("N");
    }
    ++phaseWaits;
  }

  static int Order(Phase p) { return static_cast<int>(p); }

  // Due now; a step whose moment has passed is reported and fired at once.
  bool Due(const Step& s) {
    if (s.game > game) return false;
    if (s.game < game || Order(s.phase) < Order(phase)) {
      ADD_FAILURE() << "step at game " << s.game << ", " << Name(s.phase) << ", " << s.at
                    << " came too late: now game " << game << ", " << Name(phase);
      return true;
    }
    if (s.phase != phase) return false;
    return phase == Phase::Play ? PlayTime() >= s.at : phaseWaits >= s.at;
  }
};

using GameTest::FillRow;

}  // namespace Scenario
