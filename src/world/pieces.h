// Whether each piece of a level is there for a reason. A piece matters when
// one change to it alone changes the solution: the shortest way gets longer
// or shorter, or there is none. The change is taking the piece out, except
// for the only block of its colour, which becomes a crate instead (a level
// keeps at least one block of each colour). The solve tool, the level
// generator and the pack's tests all judge pieces here.
#pragma once

#include "world/levelLayout.h"
#include "world/solver.h"

#include <string>
#include <vector>

enum class PieceKind { crate, red, blue };

struct Piece {
    PieceKind kind;
    Cell cell;
};

bool operator==(const Piece& a, const Piece& b);

// "crate", "red" or "blue".
std::string pieceKindName(PieceKind kind);

// Every crate and block of the layout, in reading order (layer, row, column).
std::vector<Piece> piecesOf(const LevelLayout& layout);

// True for the only red or the only blue block of the layout.
bool isOnlyOfItsColour(const LevelLayout& layout, const Piece& piece);

// The layout after the one change that tells whether the piece matters. The
// other blocks keep their order: a new order could change the way by itself.
LevelLayout withPieceChanged(const LevelLayout& layout, const Piece& piece);

enum class PieceVerdict {
    matters,
    doesNotMatter,
    // The changed level's search ran out of budget: nothing is proven.
    undecided,
};

struct PieceJudgement {
    Piece piece;
    PieceVerdict verdict;
    // States the changed level's search held: what the judgement cost.
    int states;
};

// par is the length of the level's own shortest way; each changed level is
// searched within the budget.
PieceJudgement judgePiece(const LevelLayout& layout, const Piece& piece, int par,
                          const SolverBudget& budget = {});
// Every piece of the layout, in reading order.
std::vector<PieceJudgement> judgePieces(const LevelLayout& layout, int par,
                                        const SolverBudget& budget = {});

// How much longer the shortest way is than the straight (Manhattan) distance
// from the player's start to the trophy: what the pieces cost the player.
int detourOf(const LevelLayout& layout, int par);
