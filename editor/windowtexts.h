#pragma once
// The main window's own texts.

namespace qm {

inline constexpr const char *kApplicationTitle = "Quillmoss the Virtual Reality Levels-Editor v1.2";
// What the surface says while no level is shown: no file open, or a file open with none shown.
inline constexpr const char *kNoLevelHint = "Open a levels file, or make a new one, from the File menu.";
inline constexpr const char *kNoLevelShownHint = "This levels file has no level shown: pick one with Edit Levels "
                                                 "(Ctrl+E) or add one with Add Level (Ctrl+L).";
// Added to the start-up error when the game configuration was not read: exit leaves the file alone.
inline constexpr const char *kGameConfigKept = "Quillmoss.Cfg was not read: the editor leaves it as it is.";

} // namespace qm
