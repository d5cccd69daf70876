#pragma once
// Check Level and Check All Levels of the Edit menu: the findings window they open (made when first
// shown, following every change of the history while shown), a double-clicked finding handed to
// showFinding, and the errors of a saved file as a note for the caption until the next change.

#include "editor/core/storechecks.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace qm {

class LevelCheckWindow;
class LevelDocument;

class ChecksController : public QObject {
    Q_OBJECT

public:
    using ShowFinding = std::function<void(int32_t level, std::optional<CellPlace> cell)>;

    // captionChanged: the note for the caption changed.
    ChecksController(QWidget *mainWindow, LevelDocument &document, ShowFinding showFinding,
                     std::function<void()> captionChanged);

    void showChecks(bool allLevels);

    // After a save: the saved levels checked, and how many errors they have shown in the caption.
    void checkSavedFile();
    void showSavedErrors(int32_t errors);
    // " - saved with 2 errors (…)" while the saved file is unchanged; empty otherwise.
    const QString &savedErrorsNote() const { return mSavedErrorsNote; }

private:
    QWidget *mMainWindow;
    ShowFinding mShowFinding;
    std::function<void()> mCaptionChanged;
    LevelCheckWindow *mWindow = nullptr;
    QString mSavedErrorsNote;
    std::string mSavedErrorsPath;
};

} // namespace qm
