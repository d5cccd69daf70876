#include "editorsettings.h"

#include "commands/filenames.h"
#include "commands/usersettings.h"

namespace qm {

namespace {

// The keys as every version of the editor kept them: users keep their settings.
const char *const kAskConfirmationsKey = "AskConfirmations";
const char *const kOverlaysKey = "ShowStartSquareAndGrid";
const char *const kReachKey = "ShowReach";
const char *const kRecentFilesKey = "RecentFiles";
const char *const kOverviewSquareKey = "OverviewSquare";
const char *const kZoomSquareKey = "MapSquare";
constexpr int kLeastOverviewSquare = 2, kLargestOverviewSquare = 12;

} // namespace

EditorSettings::EditorSettings(const QString &file) : mFile(file) {}

std::unique_ptr<QSettings> EditorSettings::open() const { return openUserSettings(mFile); }

EditorPreferences EditorSettings::readPreferences() const
{
    const std::unique_ptr<QSettings> settings = open();
    EditorPreferences preferences;
    preferences.askConfirmations = settings->value(kAskConfirmationsKey, true).toBool();
    preferences.overlays = settings->value(kOverlaysKey, true).toBool();
    preferences.reach = settings->value(kReachKey, false).toBool();
    // Only the map's zoom levels; anything else (an edited file) is the actual size.
    const int square = settings->value(kZoomSquareKey, 40).toInt();
    preferences.zoomSquare = square == 20 || square == 10 ? square : 40;
    return preferences;
}

void EditorSettings::writePreferences(const EditorPreferences &preferences) const
{
    const std::unique_ptr<QSettings> settings = open();
    settings->setValue(kAskConfirmationsKey, preferences.askConfirmations);
    settings->setValue(kOverlaysKey, preferences.overlays);
    settings->setValue(kReachKey, preferences.reach);
    settings->setValue(kZoomSquareKey, preferences.zoomSquare);
}

// A name that is not valid UTF-8 is kept as its bytes: the settings file holds its texts as UTF-8,
// which would change such a name for good. Every other name is kept as the text it always was.
QStringList EditorSettings::recentFiles() const
{
    const QVariant value = open()->value(kRecentFilesKey);
    // A list of one name reads back as that name alone.
    if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QStringList)
        return value.toStringList();
    QStringList files;
    for (const QVariant &file : value.toList())
        files << (file.typeId() == QMetaType::QByteArray ? fileNameFromBytes(file.toByteArray()) : file.toString());
    return files;
}

void EditorSettings::setRecentFiles(const QStringList &files) const
{
    QVariantList stored;
    for (const QString &file : files) {
        const QByteArray bytes = fileNameBytes(file);
        stored << (bytes == file.toUtf8() ? QVariant(file) : QVariant(bytes));
    }
    open()->setValue(kRecentFilesKey, stored);
}

int EditorSettings::overviewSquare() const
{
    bool number = false;
    const int square = open()->value(kOverviewSquareKey).toInt(&number);
    return number && square >= kLeastOverviewSquare && square <= kLargestOverviewSquare ? square : kLeastOverviewSquare;
}

void EditorSettings::setOverviewSquare(int square) const { open()->setValue(kOverviewSquareKey, square); }

} // namespace qm
