// The program body: module start-up, the sound check, and games for as long
// as the player answers the game-over question with n. Each game is framed
// here (resets, board, credits, dot lattice) around the play loop.
// Depends on every module of the program.
#pragma once

namespace Game {

// The modules the program body uses, each once, in their fixed order:
// sound (with console output and the pause), number formatting, graphics,
// the pause, and the console last, which starts the key reader and, on a
// terminal, the terminal thread. Then binds the rules' RowSound to the row
// sound.
void StartModules();

// The program: returns when the game-over question is answered with
// anything but a lower-case n.
void ProgramBody();

// One game's pieces, from the first spawn until a piece that did not fit has
// landed or q was the last key of a fall interval.
void PlayLoop();

// The two credit lines under the board.
extern const char kCredit1[];
extern const char kCredit2[];

}  // namespace Game
