// The one change that tells whether a piece matters, and the judgement on
// small rooms where taking a piece out and turning it into a crate differ.
#include "world/levelFile.h"
#include "world/pieces.h"

#include <gtest/gtest.h>

#include <string>

namespace {

LevelLayout layoutOf(const std::string& text) {
    const LevelLoad load = parseLevelText(text, "t");
    EXPECT_TRUE(load.level) << load.error;
    return load.level ? load.level->layout : LevelLayout{};
}

// Two red blocks, one blue block and a crate on the floor of a 3 x 2 x 2 room.
const std::string twoReds = "title: t\nsize: 3 2 2\nlayer 0\nR#R\n@.T\nlayer 1\n...\nB..\n";

} // namespace

TEST(PieceChange, TakesOutOrTurnsTheOnlyBlockOfItsColourIntoACrate) {
    const LevelLayout layout = layoutOf(twoReds);
    const struct {
        Piece piece;
        std::vector<Cell> reds;
        std::vector<Cell> blues;
        std::vector<Cell> crates;
    } cases[] = {
        {{PieceKind::crate, {1, 0, 0}}, {{0, 0, 0}, {2, 0, 0}}, {{0, 1, 1}}, {}},
        // The other red keeps its place in the stepping order.
        {{PieceKind::red, {0, 0, 0}}, {{2, 0, 0}}, {{0, 1, 1}}, {{1, 0, 0}}},
        {{PieceKind::blue, {0, 1, 1}}, {{0, 0, 0}, {2, 0, 0}}, {}, {{1, 0, 0}, {0, 1, 1}}},
    };
    for (const auto& c : cases) {
        const LevelLayout changed = withPieceChanged(layout, c.piece);
        EXPECT_EQ(changed.redStarts, c.reds) << pieceKindName(c.piece.kind);
        EXPECT_EQ(changed.blueStarts, c.blues) << pieceKindName(c.piece.kind);
        EXPECT_EQ(changed.obstacles, c.crates) << pieceKindName(c.piece.kind);
        EXPECT_EQ(changed.playerStart, layout.playerStart);
        EXPECT_EQ(changed.trophyCell, layout.trophyCell);
    }
    const std::vector<Piece> inReading{{PieceKind::red, {0, 0, 0}},
                                       {PieceKind::crate, {1, 0, 0}},
                                       {PieceKind::red, {2, 0, 0}},
                                       {PieceKind::blue, {0, 1, 1}}};
    EXPECT_EQ(piecesOf(layout), inReading);
}

// The trophy can only be entered from above. The red block stands over the
// player, so the way goes round it in six moves; a crate in its cell leaves
// that way as it is, while a room without the red would open the way up
// over the crate in four. Every other piece changes the way.
TEST(PieceJudgement, TheOnlyRedBlockBecomesACrateNotAHole) {
    const LevelLayout layout =
        layoutOf("title: t\nsize: 3 2 2\nlayer 0\n@#T\n..#\nlayer 1\nR..\n#B.\n");
    for (const PieceJudgement& judged : judgePieces(layout, 6)) {
        const bool isRed = judged.piece.kind == PieceKind::red;
        EXPECT_EQ(judged.verdict, isRed ? PieceVerdict::doesNotMatter : PieceVerdict::matters)
            << pieceKindName(judged.piece.kind) << " " << judged.piece.cell.x << " "
            << judged.piece.cell.y << " " << judged.piece.cell.z;
    }
    LevelLayout withoutRed = layout;
    withoutRed.redStarts.clear();
    EXPECT_EQ(searchLevel(Level(withoutRed)).moves.size(), 4u);
    EXPECT_EQ(judgePiece(layout, piecesOf(layout).front(), 6, {solverNoMoveLimit, 2}).verdict,
              PieceVerdict::undecided);
}
