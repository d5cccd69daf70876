#pragma once
// The window's settings, in the store that openUserSettings opens (the import dialog keeps its check box
// there too): the user's settings under the program's name, or the INI file the window is given (the
// tests'). The preferences are read once at start, before
// anything that can fail, and written back together when the window closes. The Open Recent list is
// shared with the other editors running, so it is read and written as it changes.

#include <QString>
#include <QStringList>
#include <memory>

class QSettings;

namespace qm {

struct EditorPreferences {
    bool askConfirmations = true; // Options > Ask Confirmations
    bool overlays = true;         // Options > Show Start Square and Grid
    bool reach = false;           // Options > Reach
    int zoomSquare = 40;          // View > Zoom: pixels a square of the map (40, 20 or 10)
};

class EditorSettings {
public:
    // file: an INI file; empty: the user's settings.
    explicit EditorSettings(const QString &file = QString());

    EditorPreferences readPreferences() const;
    void writePreferences(const EditorPreferences &preferences) const;
    QStringList recentFiles() const;
    void setRecentFiles(const QStringList &files) const;
    // Pixels a square of a level in the overview's thumbnails (2..12; 2 when unset or out of range).
    int overviewSquare() const;
    void setOverviewSquare(int square) const;
    // The INI file given, empty for the user's settings (the import dialog keeps its box there too).
    const QString &file() const { return mFile; }

private:
    std::unique_ptr<QSettings> open() const;

    QString mFile;
};

} // namespace qm
