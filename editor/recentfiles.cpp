#include "recentfiles.h"

#include "commands/filenames.h"

#include <QDir>
#include <QFileInfo>
#include <QStyleOptionMenuItem>
#include <filesystem>
#include <memory>

namespace qm {

namespace {

const char *const kMissingProperty = "missingFile";

QString absolute(const QString &path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

} // namespace

RecentFiles::RecentFiles(const EditorSettings &settings, QWidget *parent) : QMenu(parent), mSettings(settings)
{
    setToolTipsVisible(true);
    mSeparator = addSeparator();
    mClear = addAction("&Clear List");
    mClear->setObjectName("ClearRecent1");
    connect(mClear, &QAction::triggered, this, &RecentFiles::clearList);
    connect(this, &QMenu::aboutToShow, this, &RecentFiles::rebuild);
    rebuild();
}

QStringList RecentFiles::files() const
{
    // The settings file may have been edited by hand: only non-empty texts, each once, at most ten.
    QStringList files;
    for (const QString &path : mSettings.recentFiles())
        if (!path.isEmpty() && !files.contains(path) && files.size() < kMaxFiles)
            files.append(path);
    return files;
}

void RecentFiles::add(const QString &path)
{
    if (path.isEmpty())
        return;
    const QString file = absolute(path);
    QStringList list = files();
    list.removeAll(file);
    list.prepend(file);
    store(list.mid(0, kMaxFiles));
}

void RecentFiles::remove(const QString &path)
{
    QStringList list = files();
    list.removeAll(path);
    store(list);
}

void RecentFiles::clearList() { store({}); }

void RecentFiles::store(const QStringList &files)
{
    mSettings.setRecentFiles(files);
    rebuild();
}

void RecentFiles::rebuild()
{
    // The item chosen may be the one whose signal is running: the old items go once it has returned.
    for (QAction *old : std::as_const(mItems)) {
        removeAction(old);
        old->deleteLater();
    }
    mItems.clear();
    const QStringList list = files();
    for (int k = 0; k < list.size(); ++k) {
        const QString &path = list[k];
        const QFileInfo file(path);
        auto *item = new QAction(QString(file.fileName()).replace("&", "&&"), this);
        item->setObjectName(QString("Recent%1").arg(k + 1));
        item->setToolTip(QDir::toNativeSeparators(file.path()));
        std::error_code unknown;
        item->setProperty(kMissingProperty, !std::filesystem::exists(toPath(path), unknown));
        if (k < 9) {
            item->setShortcut(QKeySequence(Qt::ALT | Qt::Key(Qt::Key_1 + k)));
            item->setShortcutContext(Qt::ApplicationShortcut);
        }
        connect(item, &QAction::triggered, this, [this, path] { emit chosen(path); });
        insertAction(mSeparator, item);
        mItems.append(item);
    }
    mClear->setEnabled(!list.isEmpty());
}

void RecentFiles::initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const
{
    QMenu::initStyleOption(option, action);
    if (action && action->property(kMissingProperty).toBool()) {
        option->state &= ~QStyle::State_Enabled;
        option->palette.setCurrentColorGroup(QPalette::Disabled);
    }
}

} // namespace qm
