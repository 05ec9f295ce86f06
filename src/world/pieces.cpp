#include "world/pieces.h"

#include "world/levelFile.h"

#include <algorithm>
#include <cstdlib>

namespace {

std::vector<Cell>& startsOf(LevelLayout& layout, PieceKind kind) {
    switch (kind) {
    case PieceKind::red:
        return layout.redStarts;
    case PieceKind::blue:
        return layout.blueStarts;
    case PieceKind::crate:
        break;
    }
    return layout.obstacles;
}

void eraseCell(std::vector<Cell>& cells, Cell cell) {
    cells.erase(std::remove(cells.begin(), cells.end(), cell), cells.end());
}

PieceVerdict verdictOf(const SolveResult& changed, int par) {
    switch (changed.outcome) {
    case SolveOutcome::undecided:
        return PieceVerdict::undecided;
    case SolveOutcome::noWay:
        return PieceVerdict::matters;
    case SolveOutcome::solved:
        break;
    }
    return static_cast<int>(changed.moves.size()) == par ? PieceVerdict::doesNotMatter
                                                         : PieceVerdict::matters;
}

} // namespace

bool operator==(const Piece& a, const Piece& b) {
    return a.kind == b.kind && a.cell == b.cell;
}

std::string pieceKindName(PieceKind kind) {
    switch (kind) {
    case PieceKind::red:
        return "red";
    case PieceKind::blue:
        return "blue";
    case PieceKind::crate:
        break;
    }
    return "crate";
}

std::vector<Piece> piecesOf(const LevelLayout& layout) {
    std::vector<Piece> pieces;
    const auto add = [&pieces](PieceKind kind, const std::vector<Cell>& cells) {
        for (Cell cell : cells) {
            pieces.push_back(Piece{kind, cell});
        }
    };
    add(PieceKind::crate, layout.obstacles);
    add(PieceKind::red, layout.redStarts);
    add(PieceKind::blue, layout.blueStarts);
    std::stable_sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) {
        return comesFirstInReading(a.cell, b.cell);
    });
    return pieces;
}

bool isOnlyOfItsColour(const LevelLayout& layout, const Piece& piece) {
    return (piece.kind == PieceKind::red && layout.redStarts.size() == 1) ||
           (piece.kind == PieceKind::blue && layout.blueStarts.size() == 1);
}

LevelLayout withPieceChanged(const LevelLayout& layout, const Piece& piece) {
    LevelLayout changed = layout;
    if (isOnlyOfItsColour(layout, piece)) {
        changed.obstacles.push_back(piece.cell);
    }
    eraseCell(startsOf(changed, piece.kind), piece.cell);
    return changed;
}

PieceJudgement judgePiece(const LevelLayout& layout, const Piece& piece, int par,
                          const SolverBudget& budget) {
    const SolveResult changed = searchLevel(Level(withPieceChanged(layout, piece)), budget);
    return PieceJudgement{piece, verdictOf(changed, par), changed.states};
}

std::vector<PieceJudgement> judgePieces(const LevelLayout& layout, int par,
                                        const SolverBudget& budget) {
    std::vector<PieceJudgement> judgements;
    for (const Piece& piece : piecesOf(layout)) {
        judgements.push_back(judgePiece(layout, piece, par, budget));
    }
    return judgements;
}

int detourOf(const LevelLayout& layout, int par) {
    const Cell from = layout.playerStart;
    const Cell to = layout.trophyCell;
    return par - (std::abs(from.x - to.x) + std::abs(from.y - to.y) + std::abs(from.z - to.z));
}
