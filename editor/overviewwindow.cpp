#include "overviewwindow.h"

#include "thumbnaillist.h"

#include "commands/storetext.h"

#include "levels/levelstore.h"

#include <QVBoxLayout>
#include <algorithm>
#include <unordered_set>

namespace qm {

namespace {

int levelsShown() { return fileopen ? std::clamp(levelsinfo.count, 0, kMaxLevels) : 0; }

} // namespace

OverviewWindow::OverviewWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName("overviewWindow");
    setWindowTitle("Levels Overview");
    mList = new ThumbnailList([this](int i) { return drawLevel(i); }, kGridSize * kSquare, this);
    mList->setObjectName("overviewList");
    mList->setSelectionMode(QAbstractItemView::NoSelection); // the frame marks the current level
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mList);
    resize(4 * (kGridSize * kSquare + 12) + 40, 640);
    connect(mList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        if (levelChosen)
            levelChosen(mList->row(item) + 1);
        refresh();
    });
    mRecheck.setSingleShot(true);
    mRecheck.setInterval(kRecheckMilliseconds);
    connect(&mRecheck, &QTimer::timeout, this, &OverviewWindow::refresh);
}

void OverviewWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    refresh();
}

void OverviewWindow::storeChanged()
{
    if (isVisible() && !mRecheck.isActive())
        mRecheck.start();
}

void OverviewWindow::refresh()
{
    mRecheck.stop();
    const int n = levelsShown();

    mList->setCount(n);
    mShown.resize(size_t(n), 0);
    for (int i = 0; i < n; ++i) {
        const tlevel &level = levels[i + 1];
        mList->setLabel(i, QString::number(i + 1) + " " + toQt(level.name));
        const uint64_t fingerprint = levelFingerprint(level);
        if (fingerprint == mShown[size_t(i)])
            continue;
        if (auto known = mPictures.find(fingerprint); known != mPictures.end()) {
            mList->setPicture(i, known->second);
            mShown[size_t(i)] = fingerprint;
        } else {
            mList->redraw(i);
        }
    }
    mList->setFramed(n > 0 ? curlevel - 1 : -1);
    forgetUnused();
}

QImage OverviewWindow::drawLevel(int index)
{
    if (index < 0 || index >= levelsShown())
        return QImage();
    const tlevel &level = levels[index + 1];
    // Taken again: the level may have changed since the last comparison.
    const uint64_t fingerprint = levelFingerprint(level);
    auto known = mPictures.find(fingerprint);
    if (known == mPictures.end()) {
        ++mDrawn;
        known = mPictures.emplace(fingerprint, thumbnailImage(mTiles.draw(gamedir, level))).first;
    }
    mShown[size_t(index)] = fingerprint;
    return known->second;
}

void OverviewWindow::forgetUnused()
{
    // Pictures of levels that are gone are kept for a while (an undo may bring them back).
    if (mPictures.size() <= 2 * mShown.size() + 32)
        return;
    const std::unordered_set<uint64_t> used(mShown.begin(), mShown.end());
    std::erase_if(mPictures, [&](const auto &entry) { return !used.contains(entry.first); });
}

} // namespace qm
