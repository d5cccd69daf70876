#pragma once
// The one way the editor opens its settings: the user's settings under the program's name, or the INI
// file it is given (the tests'). The window's settings and the import dialog's check box live there.

#include <QSettings>
#include <QString>
#include <memory>

namespace qm {

inline std::unique_ptr<QSettings> openUserSettings(const QString &file)
{
    if (file.isEmpty())
        return std::make_unique<QSettings>("Quillmoss", "qmeditor");
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

} // namespace qm
