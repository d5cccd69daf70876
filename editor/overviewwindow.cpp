#include "overviewwindow.h"

#include "thumbnaillist.h"

#include "commands/storetext.h"

#include "levels/levelstore.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <unordered_set>

namespace qm {

namespace {

int levelsShown() { return fileopen ? std::clamp(levelsinfo.count, 0, kMaxLevels) : 0; }

} // namespace

OverviewWindow::OverviewWindow(QWidget *parent, int32_t square)
    : QWidget(parent, Qt::Window), mSquare(std::clamp(square, kLeastSquare, kLargestSquare)), mTiles(mSquare)
{
    setObjectName("overviewWindow");
    setWindowTitle("Levels Overview");
    mList = new ThumbnailList([this](int i) { return drawLevel(i); }, kGridSize * mSquare, this);
    mList->setObjectName("overviewList");
    // Ctrl and Shift choose several levels; the frame marks the current one.
    mList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    mList->allowMoves([this](const std::vector<int> &rows, int before) { moveRows(rows, before); });
    mList->zoom = [this](int notches) { setSquare(mSquare + notches); };
    mList->setContextMenuPolicy(Qt::ActionsContextMenu);

    mSlider = new QSlider(Qt::Horizontal, this);
    mSlider->setObjectName("thumbnailSize");
    mSlider->setRange(kLeastSquare, kLargestSquare);
    mSlider->setValue(mSquare);
    mSlider->setToolTip("Pixels a square of a level (Ctrl+wheel over the thumbnails)");
    connect(mSlider, &QSlider::valueChanged, this, [this](int value) { setSquare(value); });
    mStatus = new QLabel(this);
    mStatus->setObjectName("overviewStatus");

    auto *bottom = new QHBoxLayout;
    bottom->setContentsMargins(6, 2, 6, 4);
    bottom->addWidget(new QLabel("Size:", this));
    bottom->addWidget(mSlider);
    bottom->addWidget(mStatus, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mList);
    layout->addLayout(bottom);
    resize(4 * (kGridSize * kSquare + 12) + 40, 640);

    // The handlers are set by the owner after the window is made: each is looked up when triggered.
    using Handler = std::function<void(std::vector<int32_t>)> OverviewWindow::*;
    const auto selected = [this](Handler handler) {
        return [this, handler] {
            const std::vector<int32_t> chosen = selectedLevels();
            if (chosen.empty())
                showStatus("No level is selected.");
            else if (this->*handler)
                (this->*handler)(chosen);
        };
    };
    addCommand("overviewCopy", "&Copy Levels", QKeySequence::Copy, selected(&OverviewWindow::copyLevels));
    addCommand("overviewPaste", "&Paste Levels", QKeySequence::Paste, [this] {
        if (pasteLevels)
            pasteLevels();
    });
    addCommand("overviewDelete", "&Delete Levels…", QKeySequence::Delete, selected(&OverviewWindow::deleteLevels));

    connect(mList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        if (levelChosen)
            levelChosen(mList->row(item) + 1);
        refresh();
    });
    mRecheck.setSingleShot(true);
    mRecheck.setInterval(kRecheckMilliseconds);
    connect(&mRecheck, &QTimer::timeout, this, &OverviewWindow::refresh);
}

QAction *OverviewWindow::addCommand(const char *name, const QString &caption, const QKeySequence &key,
                                    const std::function<void()> &handler)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(name);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, handler);
    addAction(action);
    mList->addAction(action);
    return action;
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
    fitGrid(n);
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

// The grid's cells as large as the largest thumbnail of the file at this size, no larger.
void OverviewWindow::fitGrid(int n)
{
    int32_t widest = 1, tallest = 1;
    for (int k = 1; k <= n; ++k) {
        widest = std::max(widest, std::clamp(levels[k].width, 0, kGridSize));
        tallest = std::max(tallest, std::clamp(levels[k].height, 0, kGridSize));
    }
    mList->setPictureSize(QSize(widest * mSquare, tallest * mSquare));
}

void OverviewWindow::setSquare(int32_t square)
{
    square = std::clamp(square, kLeastSquare, kLargestSquare);
    if (square != mSlider->value())
        mSlider->setValue(square); // comes back here
    if (square == mSquare)
        return;
    mSquare = square;
    mTiles = ThumbnailTileCache(square);
    mPictures.clear();
    std::fill(mShown.begin(), mShown.end(), 0);
    if (squareChanged)
        squareChanged(square);
    refresh();
}

std::vector<int32_t> OverviewWindow::selectedLevels() const
{
    std::vector<int32_t> numbers;
    for (const QListWidgetItem *item : mList->selectedItems())
        numbers.push_back(mList->row(item) + 1);
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void OverviewWindow::showStatus(const QString &text) { mStatus->setText(text); }

void OverviewWindow::moveRows(const std::vector<int> &rows, int before)
{
    if (!levelsMoved || rows.empty())
        return;
    std::vector<int32_t> numbers;
    for (int row : rows)
        numbers.push_back(row + 1);
    levelsMoved(numbers, before + 1);
    refresh();
    // The moved levels stay selected at their new places.
    const int first = before - int(std::count_if(rows.begin(), rows.end(), [&](int row) { return row < before; }));
    mList->clearSelection();
    for (int row = first; row < first + int(rows.size()); ++row)
        if (QListWidgetItem *item = mList->item(row))
            item->setSelected(true);
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
