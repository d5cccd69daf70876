#pragma once
// The default game directory: every data file the editor looks for, made from our own artwork and
// texts, byte for byte the same on every run.

#include <string>

namespace qm::gamegen {

// Writes "Editor.dxg", the four themes, "Quillmoss.Cfg", "Editor.hlp", "Sample.lev" and "Levels.dat"
// into dir (which must exist). Throws qm::Error on the first failure.
void writeGameFiles(const std::string &dir);

inline constexpr const char *kSampleLevelsName = "Sample.lev";
inline constexpr const char *kSupaplexSampleName = "Levels.dat";
inline constexpr const char *kHelpName = "Editor.hlp";
inline constexpr const char *kEditorPicturesName = "Editor.dxg";

} // namespace qm::gamegen
