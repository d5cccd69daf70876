// Painting every kind of object through the real window, with the default game directory's theme
// (whose strips and blocks have the widths the painting rules look for).

#include "mainwindowfixture.h"

#include <filesystem>

using namespace qm;

namespace {

class PaintingObjects : public qmtest::MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        useDefaultTheme();
        openLevel(); // loads the theme
    }

    // Picks tile from the palette and presses at cell (r, c).
    void paintTile(int tile, int r, int c)
    {
        pickTile(tile);
        click(40 * (c - 1) + 5, 40 * (r - 1) + 5);
    }
    static cell tpk(int tile, int pattern, int kind) { return cell{tile, 0, kind, pattern}; }
};

} // namespace

TEST_F(PaintingObjects, EveryObjectWritesItsSquares)
{
    viewx = viewy = 0;
    paintTile(29, 5, 3);
    EXPECT_EQ(at(5, 3), tpk(29, 0, 102));
    EXPECT_EQ(at(5, 4), tpk(29, 1, 102));
    paintTile(31, 7, 3);
    EXPECT_EQ(at(8, 3), tpk(31, 1, 102));
    paintTile(30, 10, 2);
    EXPECT_EQ(at(10, 8), tpk(30, 6, 101));
    EXPECT_EQ(at(11, 2), tpk(30, 7, 101));
    paintTile(36, 2, 6);
    EXPECT_EQ(at(2, 12), tpk(36, 6, 101));
    paintTile(37, 3, 6);
    EXPECT_EQ(at(3, 6), tpk(15, 0, 101));
    EXPECT_EQ(at(3, 7), tpk(37, 1, 101));
    EXPECT_EQ(at(4, 12), tpk(37, 13, 101));
    paintTile(40, 5, 6);
    EXPECT_EQ(at(7, 11), tpk(40, 17, 101));
    paintTile(63, 9, 6);
    EXPECT_EQ(at(9, 6), tpk(63, 0, 101));
    EXPECT_EQ(at(10, 6).tile, 15);
    EXPECT_EQ(at(11, 6).tile, 11);
    paintTile(64, 9, 8);
    EXPECT_EQ(at(10, 8).tile, 65);
    paintTile(66, 9, 9);
    EXPECT_EQ(at(9, 9), tpk(66, 0, 101));
    EXPECT_EQ(at(11, 9).tile, 11);
    paintTile(67, 9, 10);
    EXPECT_EQ(at(10, 10).tile, 11);
    paintTile(68, 9, 11);
    EXPECT_EQ(at(9, 11), tpk(68, 0, 101));
    EXPECT_EQ(at(11, 13).tile, 11);
    paintTile(49, 2, 14);
    EXPECT_EQ(at(2, 14), tpk(49, 0, 102));
    paintTile(12, 3, 14);
    EXPECT_EQ(at(3, 14), tpk(12, 0, 100));
    EXPECT_FALSE(saved);
    EXPECT_EQ(viewx, 0);
    EXPECT_EQ(viewy, 0);
}
