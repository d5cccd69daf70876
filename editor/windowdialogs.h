#pragma once
// The dialogs of the window's commands, made once and reused: those of the file commands when the
// window is first shown (or a command needs them sooner), the import dialog, the about box and the
// help window when first shown.

namespace qm {

class HelpWindow;
class TForm2;
class TForm3;
class Tlevelsfile;
class Tnewlevel;
class Tnewlevels;

struct WindowDialogs {
    Tnewlevels *newLevels = nullptr;   // "Create new"
    Tnewlevel *newLevel = nullptr;     // the levels dialog
    TForm2 *importLevels = nullptr;    // the Supaplex import
    TForm3 *about = nullptr;
    Tlevelsfile *levelsFile = nullptr; // the game's levels-file chooser
    HelpWindow *help = nullptr;
};

} // namespace qm
