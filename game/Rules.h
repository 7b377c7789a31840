// Game rules: the random generator, the piece table, spawning, moving,
// turning, the fall, landing, full rows and the speed-up. They work on the
// state in State.h alone and draw, wait and sound nothing; the play loop
// calls them between its drawing and timing.
// Depends on: State.h, runtime.
#pragma once

#include "game/State.h"

#include <cstdint>

namespace Game {

// Once per program: fills the piece table and sets `newgame` to 'n'.
void Init();

// ---------------------------------------------------------------- random numbers

// The next number of the one fixed sequence, in min..max (min <= max).
// Advances gSeed; never seeded, so every run deals the same pieces.
std::uint32_t RandomCard(std::uint32_t min, std::uint32_t max);

// ---------------------------------------------------------------- set-up

// Writes the 14 shapes into `arr`; only the shape's own cells are set.
void FillPieceTable();

// Empties the interior (Kleur left as it was) and builds the walls, the
// floor and the guard column. The grid half of a new game's set-up.
void FillPlayfield();

// ---------------------------------------------------------------- spawning

// Places the next piece at the top; sets typegetal, xC, yC and, when the
// piece lands on settled cells, game_over.
void InsertBlock();

// ---------------------------------------------------------------- moving and landing

// TRUE when no moving cell has a Stil cell to its left / right / below.
// With no moving cell at all, left and right answer TRUE and under FALSE.
// The caller stores the answer; a move is only made after its check said TRUE.
bool CheckLeft();
bool CheckRight();
bool CheckUnder();

// Every moving cell one column left / one column right / one row down;
// xC or yC follow.
void MoveLeft();
void MoveRight();
void DropBlock();

// Every moving cell becomes Stil, keeping its colour.
void AllStop();

// ---------------------------------------------------------------- turning

// A quarter turn about the centre (a mirror for the bar); when it does not
// fit and only one side is free, the piece shifts that way and tries again,
// but never back the way it came. Sets empty_rotate, and empty_left /
// empty_right when the turn was blocked.
void RotateBlock();

// ---------------------------------------------------------------- play keys

// What the board needs after a key: nothing, the cells around the piece, or all.
enum class Redraw { None, AroundPiece, Whole };

// Carries out a play key inside a fall interval: 4, 6, 5, 2 move, turn or
// drop one row after their check; 0 drops the piece as far as it goes; 1
// shortens the interval while it is above 200 ms; any other key, q
// included, changes nothing at once. The caller has stored it in `arrow`.
Redraw PlayKey(char key);

// ---------------------------------------------------------------- full rows

// Removes every full row of the interior, top down: the rows above come
// down, score grows by one and RowSound is called, once per row.
void CheckLine();

// Called once per removed row. The program body sets it to the row sound;
// until then it does nothing, so the rules need no sound module.
using RowSoundProc = void (*)();
extern RowSoundProc RowSound;

// ---------------------------------------------------------------- the fall

// A new game's variables: no game over, no key, level 1, 500 ms, score 0.
void StartGameState();

// The end of a fall interval, after its ticks: one row down when the piece
// can fall. Sets empty_under.
void FallOneRow();

// The piece has stopped falling: its cells settle (AllStop) and full rows go
// (CheckLine).
void Land();

// After a landing: when score is exactly 3 x i the interval shortens to 8/10
// of itself and i goes up by one.
void SpeedUp();

}  // namespace Game
