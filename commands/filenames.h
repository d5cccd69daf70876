#pragma once
// File names as the system holds them: bytes, usually UTF-8, but not always (names from older disks
// hold Latin-1 letters such as "caf\xe9.lev"). A name goes into a QString and back to exactly the bytes
// it came from: a byte that is not part of valid UTF-8 is carried as the lone surrogate U+DC80 to
// U+DCFF (shown as a replacement mark), which no valid name holds. Qt's own conversion would turn such
// a byte into U+FFFD for good, and the file could not be found again.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace qm {

inline QString fileNameFromBytes(QByteArrayView bytes)
{
    QString name;
    name.reserve(bytes.size());
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const unsigned char lead = data[i];
        // The length of a sequence that starts with lead, and the smallest code point it may hold.
        const int length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                                         : lead >= 0xF0 && lead < 0xF5 ? 4 : 0;
        char32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool valid = length > 0 && i + length <= size;
        for (int k = 1; valid && k < length; ++k) {
            valid = (data[i + k] & 0xC0) == 0x80;
            code = (code << 6) | (data[i + k] & 0x3F);
        }
        const char32_t smallest = length == 3 ? 0x800 : length == 4 ? 0x10000 : 0;
        valid = valid && code >= smallest && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
        if (!valid) {
            name += QChar(char16_t(0xDC00 + lead));
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            name += QChar(QChar::highSurrogate(code));
            name += QChar(QChar::lowSurrogate(code));
        } else {
            name += QChar(char16_t(code));
        }
        i += length;
    }
    return name;
}

inline QByteArray fileNameBytes(const QString &name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name[i].unicode();
        const bool pair = QChar::isHighSurrogate(unit) && i + 1 < name.size() && name[i + 1].isLowSurrogate();
        if (!pair && unit >= 0xDC80 && unit <= 0xDCFF) { // a byte carried as it was
            bytes += char(unit - 0xDC00);
            continue;
        }
        const char32_t code = pair ? QChar::surrogateToUcs4(unit, name[++i].unicode()) : unit;
        if (code < 0x80) {
            bytes += char(code);
        } else if (code < 0x800) {
            bytes += char(0xC0 | (code >> 6));
            bytes += char(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            bytes += char(0xE0 | (code >> 12));
            bytes += char(0x80 | ((code >> 6) & 0x3F));
            bytes += char(0x80 | (code & 0x3F));
        } else {
            bytes += char(0xF0 | (code >> 18));
            bytes += char(0x80 | ((code >> 12) & 0x3F));
            bytes += char(0x80 | ((code >> 6) & 0x3F));
            bytes += char(0x80 | (code & 0x3F));
        }
    }
    return bytes;
}

inline QString fromPath(const std::string &path) { return fileNameFromBytes(QByteArrayView(path.data(), qsizetype(path.size()))); }
inline std::string toPath(const QString &path) { return fileNameBytes(path).toStdString(); }

} // namespace qm
