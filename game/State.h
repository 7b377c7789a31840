// Game state: the cell record, the playfield `scherm`, the piece table `arr`
// and every module-level variable of the game, listed once (GAME_STATE) so
// that tests can read, set, reset and snapshot all of it. Everything starts
// zeroed at program start; nothing here is allocated at run time.
// Depends on: runtime (checked indexes).
#pragma once

#include "runtime/Runtime.h"

#include <cstdint>

namespace Game {

// ---------------------------------------------------------------- arrays

// A fixed array indexed Lo..Hi, as the game's tables are indexed; every
// index is checked, so a stray index is a fatal error, never a stray write.
template <typename T, std::uint32_t Lo, std::uint32_t Hi>
struct RangeArray {
  static_assert(Lo <= Hi);
  static constexpr std::uint32_t kLength = Hi - Lo + 1;

  T cells[kLength];

  T& operator[](std::uint32_t index) { return cells[RT_INDEX(index - Lo, kLength)]; }
  const T& operator[](std::uint32_t index) const { return cells[RT_INDEX(index - Lo, kLength)]; }

  friend bool operator==(const RangeArray&, const RangeArray&) = default;
};

// ---------------------------------------------------------------- cells

// The state of one cell, one byte.
enum BewegingEn : std::uint8_t {
  Leeg = 0,       // empty
  Stil = 1,       // settled: a landed cell or a wall
  Bewegend = 2,   // a cell of the falling piece
  CBewegend = 3,  // the falling piece's centre, at (xC, yC)
};

struct SquareType {
  BewegingEn Beweging;
  std::uint32_t Kleur;  // palette index; stale while the cell is Leeg

  friend bool operator==(const SquareType&, const SquareType&) = default;
};

inline bool IsMoving(const SquareType& cell) {
  return cell.Beweging == Bewegend || cell.Beweging == CBewegend;
}

// ---------------------------------------------------------------- playfield

// scherm[x][y]: x is the column (0..24), y the row (0..32), rows grow downwards.
constexpr std::uint32_t kColumns = 25;
constexpr std::uint32_t kRows = 33;

// Where pieces move.
constexpr std::uint32_t kInteriorLeft = 1;
constexpr std::uint32_t kInteriorRight = 21;
constexpr std::uint32_t kInteriorTop = 1;
constexpr std::uint32_t kInteriorBottom = 30;

// The frame around the interior, and the guard column right of it. Row 32
// and column 24 are spare: never written, so Leeg with Kleur 0.
constexpr std::uint32_t kLeftWall = 0;
constexpr std::uint32_t kRightWall = 22;
constexpr std::uint32_t kGuardColumn = 23;
constexpr std::uint32_t kTopWall = 0;
constexpr std::uint32_t kFloor = 31;
constexpr std::uint32_t kWallKleur = 12;

inline bool InInterior(std::uint32_t x, std::uint32_t y) {
  return x >= kInteriorLeft && x <= kInteriorRight && y >= kInteriorTop && y <= kInteriorBottom;
}

using PlayfieldColumn = RangeArray<SquareType, 0, kRows - 1>;
using Playfield = RangeArray<PlayfieldColumn, 0, kColumns - 1>;

// arr[type][a][b]: type 0..13, box column a = 1..3, box row b = 1..4.
constexpr std::uint32_t kPieceTypes = 14;
using PieceBox = RangeArray<RangeArray<SquareType, 1, 4>, 1, 3>;
using PieceTable = RangeArray<PieceBox, 0, kPieceTypes - 1>;

// ---------------------------------------------------------------- module variables

using ScoreText = char[5];

// Every module-level variable, listed once: V(type, name). The declarations
// below, the definitions in State.cpp, StateSnapshot and ResetState all come
// from this list, so a variable added here is in every one of them.
#define GAME_STATE(V)                                                                         \
  V(Playfield, scherm)                                                                        \
  V(PieceTable, arr)                                                                          \
  V(bool, game_over)    /* a new piece did not fit; the game ends once it has landed */       \
  V(bool, empty_rotate) /* the last turn fitted */                                            \
  V(bool, empty_left)   /* last CheckLeft */                                                  \
  V(bool, empty_right)  /* last CheckRight */                                                 \
  V(bool, empty_under)  /* last CheckUnder: the piece can still fall */                       \
  V(std::uint32_t, droprate)  /* fall interval in ms */                                       \
  V(std::uint32_t, score)     /* rows removed this game */                                    \
  V(std::uint32_t, typegetal) /* type of the falling piece, 0..13 */                          \
  V(std::uint32_t, gSeed)     /* random generator state, never reset by the game */           \
  V(std::uint32_t, xC)        /* column of the falling piece's centre */                      \
  V(std::uint32_t, yC)        /* row of the falling piece's centre */                         \
  V(char, newgame)            /* answer to the game-over question; 'n' plays again */         \
  V(std::uint32_t, i)         /* speed level: next speed-up at score 3 x i */                 \
  V(std::uint32_t, j)         /* counter of the dot lattice */                                \
  V(std::uint32_t, tijd)      /* ms counted in the current fall interval */                   \
  V(char, arrow)              /* last key read during play */                                 \
  V(ScoreText, temp)          /* the score as decimal text */

#define GAME_STATE_DECLARE(type, name) extern type name;
GAME_STATE(GAME_STATE_DECLARE)
#undef GAME_STATE_DECLARE

// A copy of every module variable, for tests that check "nothing else
// changed" and for putting a state back.
struct StateSnapshot {
#define GAME_STATE_MEMBER(type, name) type name;
  GAME_STATE(GAME_STATE_MEMBER)
#undef GAME_STATE_MEMBER

  friend bool operator==(const StateSnapshot&, const StateSnapshot&) = default;
};

StateSnapshot TakeState();
void RestoreState(const StateSnapshot& state);

// Every module variable as at program start: all zero.
inline void ResetState() { RestoreState(StateSnapshot{}); }

}  // namespace Game
