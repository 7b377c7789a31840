// Game state: the module-level variables, zeroed at program start, their
// snapshot, and the module's one-time start-up.
#include "game/State.h"

#include "game/Rules.h"

#include <algorithm>

namespace Game {

#define GAME_STATE_DEFINE(type, name) type name;
GAME_STATE(GAME_STATE_DEFINE)
#undef GAME_STATE_DEFINE

namespace {

// Arrays (temp) are copied element by element; everything else by value.
template <typename T>
void Copy(T& to, const T& from) {
  to = from;
}
template <typename T, std::size_t N>
void Copy(T (&to)[N], const T (&from)[N]) {
  std::copy(from, from + N, to);
}

}  // namespace

StateSnapshot TakeState() {
  StateSnapshot state;
#define GAME_STATE_TAKE(type, name) Copy(state.name, name);
  GAME_STATE(GAME_STATE_TAKE)
#undef GAME_STATE_TAKE
  return state;
}

void RestoreState(const StateSnapshot& state) {
#define GAME_STATE_RESTORE(type, name) Copy(name, state.name);
  GAME_STATE(GAME_STATE_RESTORE)
#undef GAME_STATE_RESTORE
}

namespace {
bool initialised = false;
}  // namespace

void Init() {
  if (initialised) return;
  initialised = true;
  FillPieceTable();
  newgame = 'n';
}

}  // namespace Game
