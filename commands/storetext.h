#pragma once
// Texts of the level store and of levels files are 8-bit: each byte is the character of the same
// code (Latin-1), in both directions.

#include <QString>
#include <string>

namespace qm {

inline QString toQt(const std::string &text) { return QString::fromLatin1(text.data(), qsizetype(text.size())); }
inline std::string fromQt(const QString &text) { return text.toLatin1().toStdString(); }

} // namespace qm
