#include "helpdocument.h"

#include "themeart.h"

#include "levels/gamerules.h"
#include "levels/palette.h"

#include <string>
#include <vector>

namespace qm::gamegen {

namespace {

struct Topic {
    int number;
    const char *title;
    std::string body;
};

// What each palette tile is, for the tile table.
const char *tileDescription(int tile)
{
    switch (tile) {
    case 12: return "Infotron: the hero collects these; a level needs the number set in the Levels dialog.";
    case 13: return "Gem: a bonus to collect.";
    case 14: return "Key: opens a locked door.";
    case 15: return "Empty square: shows the level's background.";
    case 16: return "Base: the ground the hero digs through; a new level is filled with it.";
    case 17: return "Locked door: needs a key.";
    case 18: return "Lever: a switch.";
    case 19: return "Red disk.";
    case 20: return "Boulder: falls and rolls.";
    case 21: return "Orange disk.";
    case 22: return "Yellow disk.";
    case 23: return "Crate: can be pushed.";
    case 24: return "Teleporter.";
    case 25: return "Pit.";
    case 26: return "Ice: slippery floor.";
    case 27: return "Water.";
    case 28: return "Chip: a solid one-square block.";
    case 29: return "Horizontal chip: two squares wide.";
    case 30: return "Big block: 7 &times; 2 squares.";
    case 31: return "Vertical chip: two squares high.";
    case 32: return "Wall with a vent.";
    case 33: return "Grating: drawn in front of everything around it.";
    case 34: return "Wall with lights.";
    case 35: return "Wall with warning stripes.";
    case 36: return "Long block: 7 &times; 1 squares.";
    case 37: return "Tower block: 7 squares wide and 2 high, with a top on its second and third squares.";
    case 38: return "First enemy.";
    case 39: return "Second enemy.";
    case 40: return "Large block: 6 &times; 3 squares.";
    case 41: return "Hard wall: the plain wall.";
    case 42: return "Wall with a window.";
    case 43: return "Lamp.";
    case 44: return "Pipe, horizontal.";
    case 45: return "Pipe, vertical.";
    case 46: return "Pipe crossing.";
    case 47: return "Barrel.";
    case 48: return "Potted plant.";
    case 49: return "Port to the right: passable in the arrow's direction only.";
    case 50: return "Port downward.";
    case 51: return "Port to the left.";
    case 52: return "Port upward.";
    case 53: return "Terminal.";
    case 54: return "Hourglass: extra time.";
    case 55: return "Heart: an extra life.";
    case 56: return "Braced wall.";
    case 57: return "Star: a bonus.";
    case 58: return "Coin: a bonus.";
    case 59: return "Mushroom.";
    case 60: return "Danger sign.";
    case 61: return "Flag: a checkpoint.";
    case 62: return "Lightning bolt: energy.";
    case 63: return "Exit: three squares high.";
    case 64: return "Tall object: two squares high.";
    case 65: return "Lower half of the tall object (written by tile 64).";
    case 66: return "Pillar: three squares high.";
    case 67: return "Tree, or the theme's tall piece: three squares high.";
    case 68: return "Big object: 3 &times; 3 squares.";
    case 69: return "Bug: base that sparks.";
    case 70: return "Port up and down.";
    case 71: return "Port left and right.";
    case 72: return "Four-way port.";
    case 73: return "Special port to the right: a port whose passing can change the game's settings.";
    case 74: return "Special port downward.";
    case 75: return "Special port to the left.";
    case 76: return "Special port upward.";
    case 77: return "Invisible wall: the game does not draw it; the editor shows its outline.";
    default: return "";
    }
}

// The tile list, with how the game treats each tile as the rules table of the levels says it.
std::string tileTable()
{
    std::string html = "<table border=\"1\" cellpadding=\"3\">\n<tr><th>Tile</th><th>Name</th><th>What it is</th>"
                       "<th>How the game treats it</th></tr>\n";
    for (int tile = kFirstPaletteTile; tile <= kLastPaletteTile; ++tile) {
        const TileRules *rules = tileRules(tile);
        html += "<tr><td>" + std::to_string(tile) + "</td><td>" + tileName(tile) + "</td><td>" +
                tileDescription(tile) + "</td><td>" + (rules ? rules->how : "") + "</td></tr>\n";
    }
    return html + "</table>\n";
}

std::vector<Topic> topics()
{
    return {
        {0, "Contents",
         "<h2>Quillmoss Levels Editor Help</h2>\n"
         "<ol>\n"
         "<li><a href=\"topic:1\">Getting Started</a></li>\n"
         "<li><a href=\"topic:2\">The File menu</a></li>\n"
         "<li><a href=\"topic:3\">The Edit, Options and Help menus</a></li>\n"
         "<li><a href=\"topic:4\">The Levels dialog</a></li>\n"
         "<li><a href=\"topic:5\">Painting a level</a></li>\n"
         "<li><a href=\"topic:6\">Tiles larger than one square</a></li>\n"
         "<li><a href=\"topic:7\">Scrolling the map and the palette</a></li>\n"
         "<li><a href=\"topic:8\">Keys</a></li>\n"
         "<li><a href=\"topic:9\">Importing a Supaplex level</a></li>\n"
         "<li><a href=\"topic:10\">The game's levels file</a></li>\n"
         "<li><a href=\"topic:11\">The tiles</a></li>\n"
         "</ol>\n"},
        {1, "Getting Started",
         "<h2>Getting Started</h2>\n"
         "<p>The editor works on <b>levels files</b> (<code>.lev</code>), each holding up to 200 levels. A level is a "
         "grid of 40-pixel squares, from 6 &times; 6 up to 70 &times; 70 squares, painted with tiles from the palette "
         "on the right of the window.</p>\n"
         "<p>To make your first level:</p>\n"
         "<ol>\n"
         "<li>Choose <b>File, New Levels File</b>. Type a name for the file and your name as its author, and press "
         "<b>Ok</b>.</li>\n"
         "<li>The <a href=\"topic:4\">Levels dialog</a> opens with one new level. Give it a name, pick a graphics "
         "file (the theme: computer.dxg, forest.dxg, kitchen.dxg or underground.dxg), set its width and height and "
         "press <b>Edit</b>.</li>\n"
         "<li>The level appears, filled with base. Click a tile in the palette, then hold the left mouse button "
         "over the map and move the mouse to <a href=\"topic:5\">paint</a>.</li>\n"
         "<li>Rest the pointer at an edge of the map to <a href=\"topic:7\">scroll</a>.</li>\n"
         "<li>Press <b>Ctrl+S</b> to save. The first save asks where; the name you typed is proposed.</li>\n"
         "</ol>\n"
         "<p>To look at finished levels, choose <b>File, Open Levels File</b> and open <code>Sample.lev</code>: it "
         "holds a level for each theme and a tile gallery for each theme.</p>\n"},
        {2, "The File menu",
         "<h2>The File menu</h2>\n"
         "<table border=\"1\" cellpadding=\"3\">\n"
         "<tr><td><b>New Levels File</b></td><td>Asks for the file's name and author in the <i>Create new</i> "
         "dialog, then opens the <a href=\"topic:4\">Levels dialog</a> with one new level. If you cancel the Levels "
         "dialog, the new file stays open with no level in it.</td></tr>\n"
         "<tr><td><b>Open Levels File</b></td><td>Opens a levels file (the dialog starts in the game's directory) "
         "and shows the Levels dialog with level 1 selected.</td></tr>\n"
         "<tr><td><b>Open Recent</b></td><td>The last ten levels files opened or saved, newest first "
         "(<b>Alt+1</b> to <b>Alt+9</b> open the first nine; the folder shows when the mouse rests on a name). "
         "Choosing one is Open Levels File with that file. A file that is no longer there is shown grey and is "
         "taken off the list when chosen. <b>Clear List</b> empties the list.</td></tr>\n"
         "<tr><td><b>Save</b> (Ctrl+S)</td><td>Writes the file. A file that has never been saved asks for a name "
         "first, proposing the name typed in <i>Create new</i>.</td></tr>\n"
         "<tr><td><b>Save as...</b></td><td>Writes the file under a new name. An existing file of that name is "
         "replaced without a question.</td></tr>\n"
         "<tr><td><b>Close Levels File</b></td><td>Closes the file; the map turns black.</td></tr>\n"
         "<tr><td><b>Add Level</b> (Ctrl+L)</td><td>Adds a new level at the end (named Untitled, computer.dxg, "
         "40 &times; 40 squares of base) and opens the Levels dialog on it. Cancel removes it again.</td></tr>\n"
         "<tr><td><b>Delete curent Level</b></td><td>Deletes the level you are editing, without a question.</td></tr>\n"
         "<tr><td><b>Import Level</b></td><td><b>From SupaPlex Levels File</b> adds a level from a Supaplex "
         "levels file (see <a href=\"topic:9\">Importing</a>). <b>From Other .lev File</b> opens another levels "
         "file, shows its levels small with their names and sizes, and adds copies of the ones you choose after "
         "the last level; the first copy becomes the level you edit.</td></tr>\n"
         "<tr><td><b>Export to Supaplex&hellip;</b></td><td>Writes the level you are editing as a Supaplex "
         "<code>.sp</code> file, or, under any other name, every level as a Supaplex levels file of 111 levels "
         "(empty ones after yours). A level smaller than 60 &times; 24 squares gets a hardware ring; a larger one, "
         "a tile the game does not have, or more than 10 special ports is refused, naming the square.</td></tr>\n"
         "<tr><td><b>Export Level Picture&hellip;</b></td><td>Saves the level you are editing as a "
         "PNG picture, 40 pixels a square, as <code>qmtool lev render</code> draws it; with the grid "
         "and the start square when <b>Show Start Square and Grid</b> is checked.</td></tr>\n"
         "<tr><td><b>Copy Level Picture</b> (Ctrl+Shift+C)</td><td>Puts the same picture on the clipboard, to "
         "paste into another program.</td></tr>\n"
         "<tr><td><b>Exit</b></td><td>Closes the editor.</td></tr>\n"
         "</table>\n"
         "<p>You can also drop files from your file manager onto the editor's window: a levels file "
         "(<code>.lev</code>) opens as Open Levels File opens it (of several files, the first levels file); a "
         "Supaplex levels file (<code>.dat</code>, <code>.d01</code> and so on, <code>.sp</code>) dropped while "
         "a levels file is open starts <b>Import Level, From SupaPlex Levels File</b> on it. The window refuses "
         "anything else.</p>\n"
         "<p>Every change to the levels marks the file as changed, and <b>Edit, Undo</b> (<b>Ctrl+Z</b>) takes "
         "it back, step by step; <b>Redo</b> (<b>Ctrl+Y</b>) does it again. Undoing back to the last save makes "
         "the file unchanged again.</p>\n"
         "<p>When <b>Ask Confirmations</b> is checked, New Levels File, Open Levels File, Close Levels File and "
         "Exit first ask whether to save unsaved changes: <b>Yes</b> saves, <b>No</b> drops them, <b>Cancel</b> "
         "stays where you are.</p>\n"},
        {3, "The Edit, Options and Help menus",
         "<h2>The Edit menu</h2>\n"
         "<ul>\n"
         "<li><b>Undo</b> (Ctrl+Z) and <b>Redo</b> (Ctrl+Y): take back a change to the levels file, or do it "
         "again. The menu says which change.</li>\n"
         "<li><b>Cut</b>, <b>Copy</b>, <b>Paste</b> and <b>Delete</b>: squares of the map (see "
         "<a href=\"topic:5\">Painting a level</a>).</li>\n"
         "<li><b>Set Start Square Here</b> (S): the square under the pointer becomes the level's start.</li>\n"
         "<li><b>Resize Level&hellip;</b> (Ctrl+R): a new width and height for the level you edit (6 to 70, even) and "
         "an anchor, the side or corner that stays where it is: the level grows and shrinks on the other sides, "
         "and the squares and the start square move with the anchor. Before a shrink that would cut the start "
         "square or an object of several squares, the editor asks.</li>\n"
         "<li><b>Replace Tile&hellip;</b> (Ctrl+H): every square of one tile (or only those showing one pattern) in the "
         "level you edit or in every level becomes another tile, the tile you carry unless you choose another. "
         "The dialog counts the squares before you replace them; objects of several squares are replaced whole, "
         "counted once, and a square is left as it is when the new tile would not fit inside the level. One "
         "Undo takes it all back.</li>\n"
         "<li><b>Game Settings&hellip;</b>: gravity and frozen zonks at the start of the level, and for each special "
         "port (tiles 73 to 76) whether passing it changes the settings, and to what: gravity, frozen zonks, "
         "frozen enemies. The game keeps at most 10 ports' settings; the checks warn of more. One Undo takes "
         "it back.</li>\n"
         "<li><b>Check Level</b> (F7) and <b>Check All Levels</b>: list the errors and warnings found in the "
         "level you edit, or in every level; double-click a finding to see it on the map. The checks also play "
         "the first frames of the level with the hero standing still, and warn when something falls on him or "
         "comes at him there. An exit or infotrons reached only past boulders, chips or doors is a note naming "
         "what stands on the way: that is the normal way of the game.</li>\n"
         "</ul>\n"
         "<h2>The Game menu</h2>\n"
         "<ul>\n"
         "<li><b>Play Level</b> (F9): the map plays the level you edit from its start square, by the game's own "
         "rules, at the game's 35 frames a second. The arrow keys move the hero, <b>Space</b> with an arrow snaps "
         "(takes what is beside him without moving), <b>Space</b> alone plants a red disk; <b>P</b> pauses, "
         "<b>R</b> starts again, <b>Escape</b> or <b>F9</b> returns to editing exactly where you were. The status "
         "line shows the infotrons still needed, the red disks held and the time. Playing changes nothing of the "
         "file. Every run is recorded: when you finish the level the editor asks whether to keep the run as the "
         "level's solution. Kept solutions are saved beside the levels file (its name with "
         "<code>.solutions</code> added), replayed by <b>Check Level</b>, which says when an edit has broken one, "
         "and written into a <code>.sp</code> file by <b>Export to Supaplex</b>. Tiles that the game does not "
         "know play as their rule says: a wall as hardware, anything the hero may enter as base.</li>\n"
         "<li><b>Play from Here</b> (Shift+F9): the same from the square under the pointer, without recording: "
         "for trying one part of a big level.</li>\n"
         "</ul>\n"
         "<h2>The Options menu</h2>\n"
         "<ul>\n"
         "<li><b>Edit Levels</b> (Ctrl+E): opens the <a href=\"topic:4\">Levels dialog</a> for the open file.</li>\n"
         "<li><b>Levels Overview</b> (F8): every level of the open file drawn small, with its number and name; "
         "the level you edit is framed. Double-click a level to edit it. The window stays open beside the map "
         "and follows your changes. Drag thumbnails to put levels in another order; select several with "
         "<b>Ctrl</b> and <b>Shift</b> clicks, then <b>Del</b> deletes them (asking first when Ask Confirmations "
         "is checked), <b>Ctrl+C</b> copies them and <b>Ctrl+V</b> pastes copied levels at the end of this or "
         "another editor's file. The slider under the thumbnails, or <b>Ctrl</b> and the mouse wheel, sets their "
         "size (2 to 12 pixels a square), kept for the next time. Each change is one step of Undo.</li>\n"
         "<li><b>Curent Leves-File</b>: chooses the levels file the game plays (see "
         "<a href=\"topic:10\">The game's levels file</a>).</li>\n"
         "<li><b>Ask Confirmations</b>: when checked, the editor asks before it drops unsaved changes. The setting "
         "is kept for the next time you start the editor.</li>\n"
         "</ul>\n"
         "<h2>The Help menu</h2>\n"
         "<ul>\n"
         "<li><b>Contents</b>: this help's table of contents.</li>\n"
         "<li><b>Getting Started</b>: the first steps.</li>\n"
         "<li><b>About...</b>: the editor's version.</li>\n"
         "</ul>\n"},
        {4, "The Levels dialog",
         "<h2>The Levels dialog</h2>\n"
         "<p>The list on the left shows every level of the file by number and name. Click a level to see its "
         "properties on the right:</p>\n"
         "<ul>\n"
         "<li><b>Level name</b>.</li>\n"
         "<li><b>Graphics file</b>: the theme the level is drawn with. The file must exist in the game's "
         "directory.</li>\n"
         "<li><b>Width</b> and <b>Height</b>: in squares, even numbers from 6 to 70.</li>\n"
         "<li><b>Needed infotrons</b>: how many infotrons the player must collect to finish the level.</li>\n"
         "<li><b>Eddie start position</b>: the column (X) and row (Y) where the hero starts, counted from 1.</li>\n"
         "</ul>\n"
         "<p>The buttons:</p>\n"
         "<ul>\n"
         "<li><b>Edit</b> checks the values, stores them and shows the level on the map. A value out of range is "
         "corrected in its field with a message; press Edit again to accept the corrected values.</li>\n"
         "<li><b>Save it</b> stores the values as typed, without the checks, and keeps the dialog open.</li>\n"
         "<li><b>Move Up</b> and <b>Move Down</b> move the selected level one place.</li>\n"
         "<li><b>Delete</b> deletes the selected level at once. The last level of a file cannot be deleted here.</li>\n"
         "<li><b>Cancel</b> closes the dialog. Moves, deletions and values stored with Save it stay.</li>\n"
         "</ul>\n"
         "<p>Making a level larger fills the new squares with base. Making it smaller hides the squares outside "
         "the new size; when the level grows again they come back as base.</p>\n"},
        {5, "Painting a level",
         "<h2>Painting a level</h2>\n"
         "<p>The palette on the right shows the theme's tiles, three to a row. Click a tile with either mouse "
         "button to select it; the pointer then carries it over the map, framed, with its top-left corner at the "
         "pointer.</p>\n"
         "<p>Press the left mouse button over the map to write the selected tile into the square whose top-left "
         "corner is nearest to the carried tile's top-left corner. Keep the button down and move the mouse to "
         "paint square after square. Painting over a square replaces it; <b>Undo</b> (<b>Ctrl+Z</b>) takes a "
         "whole stroke back.</p>\n"
         "<p>Ports, the grating and the two-square chips are drawn in front of the tiles around them, and so is "
         "an exit painted while dragging.</p>\n"
         "<p>Some tiles are larger than one square: see <a href=\"topic:6\">Tiles larger than one square</a>. The "
         "list of all tiles is in <a href=\"topic:11\">The tiles</a>.</p>\n"
         "<h2>Picking, stamps and filling</h2>\n"
         "<p>Click a square of the map with the right mouse button to carry its tile, as if you had clicked it "
         "in the palette. Drag with the right button to mark a rectangle of squares: they become a stamp that the "
         "pointer carries, every square as it is, so large objects come whole. The left button then writes the "
         "stamp with its top-left square where you press; squares beyond the level's edges are left out. Click a "
         "palette tile, click the right button or press <b>Escape</b> to put the stamp down.</p>\n"
         "<p>A right click on any square of a large object (a filler, the lower half, a block's part) carries the "
         "object itself. A stamp keeps every large object whose top-left square lies inside the marked rectangle "
         "whole, also the squares of it beyond the rectangle; the squares of an object whose top-left square lies "
         "outside become plain base squares, so a stamp never holds half an object.</p>\n"
         "<p><b>Edit, Flip Stamp Left&ndash;Right</b> (<b>X</b>) and <b>Flip Stamp Top&ndash;Bottom</b> (<b>Y</b>) mirror the "
         "carried stamp. Ports turn with it (a port right becomes a port left under <b>X</b>, a port down a port "
         "up under <b>Y</b>); a large object stays whole and moves to its mirrored place; tiles that have no "
         "mirrored form stay as they are. Flipping changes no level, so it is no step of <b>Undo</b>; writing the "
         "stamp is.</p>\n"
         "<p>Hold <b>Shift</b> and drag with the left button to fill a rectangle with the carried tile (large "
         "objects side by side, as many as fit whole) or with copies of the carried stamp.</p>\n"
         "<p>Hold <b>L</b> and drag with the left button to paint a straight line: across, down or at 45 "
         "degrees, whichever is nearest the pointer. Hold <b>R</b> and drag to paint the outline of a rectangle, "
         "<b>Shift+R</b> to fill it. White frames show the squares while you drag; large objects and stamps are "
         "placed side by side along the line or the outline, as many as fit whole. Each line or rectangle is one "
         "step that <b>Undo</b> takes back.</p>\n"
         "<p>The <b>Edit</b> menu copies (<b>Ctrl+C</b>), cuts (<b>Ctrl+X</b>) and deletes (<b>Del</b>) the "
         "marked rectangle and pastes (<b>Ctrl+V</b>) copied squares as a stamp, also into another level, another "
         "levels file or a second editor. <b>Set Start Square Here</b> (<b>S</b>) puts the hero's start on the "
         "square under the pointer. Each of these is one step that <b>Undo</b> takes back.</p>\n"
         "<p>The line under the map names the square under the pointer, its tile and what the pointer carries. "
         "<b>Options, Show Start Square and Grid</b> shows or hides the start marker, the grid and the frame "
         "around the carried tile's palette slot. <b>Options, Reach</b> (off at first, remembered like the other "
         "options) shades the squares the hero cannot reach from the start square: a square the hero can never "
         "reach, not even with every boulder, chip and door out of the way, is darkened by half towards red; a "
         "square reached only by moving, breaking or opening something is darkened lightly. Where the level "
         "holds something that can explode (an orange, yellow or red disk, a spinner or a spark), an explosion "
         "clears every square but hardware, ports and the exit included, so there only hardware keeps the hero "
         "out. A level kept whole for the game is one run of squares, as the game plays it: right of the last "
         "column lies the next row's first square. Walls that never "
         "move or break are left unshaded. The shading follows every stroke, <b>Undo</b> and dialog at once, "
         "and <b>Check Level</b> (<b>F7</b>) names what cannot be reached.</p>\n"},
        {6, "Tiles larger than one square",
         "<h2>Tiles larger than one square</h2>\n"
         "<p>A large tile is painted from the square you click, and fills squares to the right of it and below "
         "it. Whatever those squares held is replaced, so leave room for the object first.</p>\n"
         "<table border=\"1\" cellpadding=\"3\">\n"
         "<tr><th>Tile</th><th>Size (columns &times; rows)</th><th>Squares written</th></tr>\n"
         "<tr><td>29 horizontal chip</td><td>2 &times; 1</td><td>both halves of the chip</td></tr>\n"
         "<tr><td>31 vertical chip</td><td>1 &times; 2</td><td>both halves of the chip</td></tr>\n"
         "<tr><td>30 big block</td><td>7 &times; 2</td><td>all fourteen squares</td></tr>\n"
         "<tr><td>36 long block</td><td>7 &times; 1</td><td>all seven squares</td></tr>\n"
         "<tr><td>37 tower block</td><td>7 &times; 2</td><td>the lower row, the top on the second and third "
         "squares of the upper row, and empty squares beside it</td></tr>\n"
         "<tr><td>40 large block</td><td>6 &times; 3</td><td>all eighteen squares</td></tr>\n"
         "<tr><td>63 exit</td><td>1 &times; 3</td><td>the exit, an empty square below it and a filler below "
         "that</td></tr>\n"
         "<tr><td>64 tall object</td><td>1 &times; 2</td><td>the object and its lower half (tile 65) below</td></tr>\n"
         "<tr><td>66 pillar, 67 tree</td><td>1 &times; 3</td><td>the object and two fillers below</td></tr>\n"
         "<tr><td>68 big object</td><td>3 &times; 3</td><td>the object and eight fillers</td></tr>\n"
         "</table>\n"
         "<p>A <b>filler</b> is an invisible square that lets the object drawn above it show. Painting over a "
         "filler or over part of a block cuts a hole in the object: repaint the whole object from its top-left "
         "square to mend it.</p>\n"
         "<p>The palette shows the top-left square of each large tile; the pointer carries the whole "
         "object.</p>\n"},
        {7, "Scrolling the map and the palette",
         "<h2>Scrolling</h2>\n"
         "<p>The map shows 16 &times; 12 squares; make the window larger, or maximise it, to see more of them. "
         "<b>View, Zoom Out</b> (<b>Ctrl+&minus;</b>) draws the squares at 20 and then 10 pixels, so that a whole "
         "level fits; <b>Zoom In</b> (<b>Ctrl++</b>) and <b>Actual Size</b> (<b>Ctrl+0</b>) go back, and "
         "<b>Ctrl</b> with the mouse wheel zooms about the square under the pointer. Every tool works at every "
         "zoom, and the editor starts at the zoom it had when it was closed. "
         "To see the rest of a larger level, rest the pointer near an "
         "edge: within 20 pixels of the top, bottom or left edge of the map, or at the right edge of the window. "
         "The view moves at an even speed while the pointer stays there, and the pointer turns into an arrow "
         "showing the direction. A level smaller than the map is shown against the map's right and bottom "
         "edges.</p>\n"
         "<p>The mouse wheel scrolls the map up and down one square a notch, and left and right with <b>Shift</b>. "
         "The arrow keys scroll one square, <b>Page Up</b> and <b>Page Down</b> a screen, <b>Home</b> and "
         "<b>End</b> to the level's top-left and bottom-right corners.</p>\n"
         "<h2>Scrolling the palette</h2>\n"
         "<p>The palette shows eight rows at a time. Click the arrow above the tiles to scroll up one row and the "
         "arrow below them to scroll down one row.</p>\n"},
        {8, "Keys",
         "<h2>Keys</h2>\n"
         "<table border=\"1\" cellpadding=\"3\">\n"
         "<tr><td><b>Ctrl+S</b></td><td>Save</td></tr>\n"
         "<tr><td><b>Ctrl+L</b></td><td>Add Level</td></tr>\n"
         "<tr><td><b>Ctrl+E</b></td><td>Edit Levels (the Levels dialog)</td></tr>\n"
         "<tr><td><b>Alt+1</b> to <b>Alt+9</b></td><td>Open Recent: the levels files last opened or saved</td></tr>\n"
         "<tr><td><b>Ctrl+Shift+C</b></td><td>Copy Level Picture</td></tr>\n"
         "<tr><td><b>Ctrl+Z</b>, <b>Ctrl+Y</b></td><td>Undo, Redo</td></tr>\n"
         "<tr><td><b>F7</b></td><td>Check Level</td></tr>\n"
         "<tr><td><b>F8</b></td><td>Levels Overview</td></tr>\n"
         "<tr><td><b>F9</b>, <b>Shift+F9</b></td><td>Play Level, Play from Here; while playing: arrows, Space, "
         "<b>P</b> pause, <b>R</b> restart, <b>Escape</b> or <b>F9</b> back to editing</td></tr>\n"
         "<tr><td><b>Ctrl+C, Ctrl+V, Del, Ctrl+wheel</b> in the Levels Overview</td><td>Copy, paste and delete "
         "the selected levels; size the thumbnails</td></tr>\n"
         "<tr><td><b>Ctrl+C, Ctrl+X, Ctrl+V, Del</b></td><td>Copy, cut, paste and delete squares of the map</td></tr>\n"
         "<tr><td><b>S</b></td><td>Set Start Square Here</td></tr>\n"
         "<tr><td><b>L</b> held, <b>R</b> held, <b>Shift+R</b> held</td><td>The left button paints a line, a "
         "rectangle's outline, a filled rectangle</td></tr>\n"
         "<tr><td><b>Ctrl++</b>, <b>Ctrl+&minus;</b>, <b>Ctrl+0</b>, <b>Ctrl+wheel</b></td><td>Zoom In, Zoom Out, "
         "Actual Size</td></tr>\n"
         "<tr><td><b>Ctrl+R</b></td><td>Resize Level&hellip;</td></tr>\n"
         "<tr><td><b>X</b>, <b>Y</b></td><td>Flip Stamp Left&ndash;Right, Flip Stamp Top&ndash;Bottom: mirror the carried "
         "stamp</td></tr>\n"
         "<tr><td><b>Ctrl+H</b></td><td>Replace Tile&hellip;</td></tr>\n"
         "<tr><td><b>Arrows, Page Up, Page Down, Home, End</b></td><td>Scroll the map</td></tr>\n"
         "<tr><td><b>Escape</b></td><td>Puts down a carried stamp or marked rectangle; otherwise closes the "
         "editor, as Exit does (asking about unsaved changes when Ask Confirmations is checked)</td></tr>\n"
         "<tr><td><b>Alt+Enter</b></td><td>Only tells you that the editor has no full-screen mode</td></tr>\n"
         "</table>\n"
         "<p>Tiles are selected with the mouse: see <a href=\"topic:5\">Painting a level</a>.</p>\n"},
        {9, "Importing a Supaplex level",
         "<h2>Importing a Supaplex level</h2>\n"
         "<p>With a levels file open, choose <b>File, Import Level, From SupaPlex Levels File</b> and pick a "
         "Supaplex levels file. The game's directory holds a sample, <code>Levels.dat</code>, with 111 levels to "
         "try. A file of a single level (1,536 bytes) or of any number of whole levels is read as well; only its "
         "first 111 levels are listed, and bytes after the last whole level are left out with a note under the "
         "list.</p>\n"
         "<p>The import dialog lists the file's levels. Select one, type the name the new level gets, choose "
         "its graphics file and press <b>Import</b>. The level is added at the end of your file as a level of "
         "58 &times; 22 squares (the outer ring of the Supaplex level is left out).</p>\n"
         "<p>To import <b>several levels</b> at once, select them with <b>Shift</b> and <b>Ctrl</b> clicks, or "
         "all of them with <b>Ctrl+A</b>: they are added in the order of the list, and <b>Edit, Undo</b> takes "
         "them all back in one step. The name field is then not used: the levels are named by their titles (see "
         "below) or \"Untitled\". A file holds at most 200 levels: a selection that would pass that is refused "
         "and nothing is added.</p>\n"
         "<p>Each Supaplex object becomes the matching tile: empty space, base, boulders, infotrons, chips, walls, "
         "the exit, disks, ports, enemies and terminals. Objects without a match become base.</p>\n"
         "<p>With <b>Take the hero's square, infotrons needed and title</b> ticked (the dialog remembers it; it is "
         "off at first), each level also takes from its Supaplex record:</p>\n"
         "<ul><li>the <b>start square</b>: the square the hero stands on. A hero in Supaplex row r, column c "
         "(counted from 0) becomes column c, row r of the level. With several heroes the first, reading row by "
         "row, counts; without one (or with the hero on the outer ring, which is not imported) the start stays "
         "at column 2, row 2;</li>\n"
         "<li>the <b>infotrons needed</b>; a record that asks for 0 needs every infotron of the level;</li>\n"
         "<li>the <b>name</b>: the title without the spaces and dashes around it, so \"------- WARM UP "
         "-------\" becomes \"WARM UP\". For one level the title is put in the name field, where you can "
         "change it.</li></ul>\n"
         "<p>Unticked, the start square stays at column 2, row 2 and the infotrons needed at 0: set them in the "
         "<a href=\"topic:4\">Levels dialog</a>.</p>\n"
         "<p>The <b>preview</b> shows the selected level small, drawn with the chosen graphics file, with its "
         "title, its hero's square and the infotrons it needs, and a note when it has several heroes or none. "
         "Press <b>Ctrl+E</b> and <b>Edit</b> in the Levels dialog to see an imported level with its own "
         "graphics.</p>\n"
         "<p>With <b>Keep the whole level for play and export</b> ticked (remembered; it implies the box above), a "
         "level is kept whole: 60 &times; 24 squares with the outer ring, every object as its own tile (the bug, "
         "the yellow disk, the two-way, four-way and special ports, the invisible wall), and the game's settings "
         "of the record kept with it, so that <b>File, Export to Supaplex</b> gives the level back exactly. A "
         "<code>.sp</code> file (a level with a recorded solution) imports its level.</p>\n"
         "<p>From the command line, <code>qmtool sp import LEVELSDAT N|A-B|all LEVFILE [--hero] [--title] "
         "[--whole] [--name TEXT] [--dxg NAME]</code> does the same: one level, the levels A to B, or all of them, "
         "appended in order; <code>--hero</code> takes the start square and infotrons needed, <code>--title</code> "
         "the name.</p>\n"},
        {10, "The game's levels file",
         "<h2>The game's levels file</h2>\n"
         "<p>The game plays the levels of one levels file, named in its configuration file "
         "<code>Quillmoss.Cfg</code>. To choose it, use <b>Options, Curent Leves-File</b>: type the name of a "
         "levels file in the game's directory, or press <b>Browse</b> to pick one, then press <b>Ok</b>.</p>\n"
         "<p>The file must lie in the game's directory; only its name is kept. The choice is written to the "
         "configuration file when the editor closes, and the game uses it from its next start. The game directory "
         "comes with <code>Sample.lev</code> chosen.</p>\n"
         "<p>This choice has nothing to do with the file you are editing.</p>\n"},
        {11, "The tiles", "<h2>The tiles</h2>\n"
                          "<p>Every theme draws the same tiles in its own way. The palette holds tiles 12 to 77.</p>\n"
                          "<p>The last column is the rule the level checks follow: what the hero can walk onto, "
                          "what only moves or breaks, and what never does. Where no rule is known, the checks "
                          "let the hero through.</p>\n" +
                              tileTable()},
    };
}

} // namespace

std::string helpDocument()
{
    std::string out = "QUILLMOSS-HELP 1\n"
                      "Help document of the Quillmoss levels editor. Topic 0 is the table of contents.\n";
    for (const Topic &topic : topics()) {
        out += "@topic " + std::to_string(topic.number) + " " + topic.title + "\n";
        out += topic.body;
        if (!topic.body.empty() && topic.body.back() != '\n')
            out += '\n';
    }
    return out;
}

} // namespace qm::gamegen
