#pragma once
// File > Open Recent: the levels files last opened or saved, newest first, kept in the editor's settings
// beside its other options. Each item shows the file's name (its folder is the tooltip) and the first
// nine answer Alt+1 to Alt+9; a file that is no longer there is shown greyed. "Clear List" ends the menu.
// The menu reads the list again each time it opens, so that it follows other editors' changes too.

#include "editorsettings.h"

#include <QMenu>
#include <QStringList>

namespace qm {

class RecentFiles : public QMenu {
    Q_OBJECT

public:
    static constexpr int kMaxFiles = 10;

    // settings: the main window's.
    RecentFiles(const EditorSettings &settings, QWidget *parent);

    // The list as stored: absolute paths, newest first, without repeats, at most kMaxFiles.
    QStringList files() const;
    // path at the top of the list (taken from where it was); the oldest beyond kMaxFiles goes.
    void add(const QString &path);
    void remove(const QString &path);
    void clearList();

signals:
    // An item was chosen: the window opens the file, or tells that it is gone.
    void chosen(const QString &path);

protected:
    // Items of files that are gone are drawn as disabled ones, yet can still be chosen.
    void initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const override;

private:
    void store(const QStringList &files);
    void rebuild();

    EditorSettings mSettings;
    QList<QAction *> mItems; // the files' items, above the separator
    QAction *mSeparator = nullptr;
    QAction *mClear = nullptr;
};

} // namespace qm
