#include "playcontroller.h"

#include "leveldocument.h"

#include "commands/messagebox.h"
#include "levels/levelstore.h"

#include <QKeyEvent>
#include <QWidget>

namespace qm {

namespace {

// The most frames a tick catches up with after the event loop was held up (a dialog, a slow machine):
// the game slows down rather than jumping ahead.
constexpr int64_t kMostFramesATick = 4;

} // namespace

PlayController::PlayController(QWidget *window, LevelDocument &document, Host host)
    : QObject(window), mWindow(window), mDocument(document), mHost(std::move(host))
{
    mTimer.setTimerType(Qt::PreciseTimer);
    mTimer.setInterval(1000 / kGameFramesPerSecond / 2);
    connect(&mTimer, &QTimer::timeout, this, [this] { mHost.guarded([this] { tick(); }); });
}

PlayController::~PlayController() = default;

void PlayController::start(std::optional<Square> fromHere)
{
    if (playing() || curlevel < 1 || curlevel > levelsinfo.count)
        return;
    mDocument.endStroke();
    mSession = std::make_unique<PlaySession>(levels[curlevel], fromHere);
    mKeys = {};
    mEndShown = false;
    mClock.start();
    mFramesDue = 0;
    mTimer.start();
    mHost.playingChanged(true);
    mHost.showStatus(statusText());
    mHost.frameChanged();
}

void PlayController::stop()
{
    if (!playing())
        return;
    mTimer.stop();
    mSession.reset();
    mHost.playingChanged(false);
    mHost.frameChanged();
}

bool PlayController::keyEvent(const QKeyEvent &event)
{
    if (!playing())
        return false;
    const bool down = event.type() == QEvent::KeyPress;
    switch (event.key()) {
    case Qt::Key_Up: mKeys.up = down; return true;
    case Qt::Key_Left: mKeys.left = down; return true;
    case Qt::Key_Down: mKeys.down = down; return true;
    case Qt::Key_Right: mKeys.right = down; return true;
    case Qt::Key_Space: mKeys.space = down; return true;
    case Qt::Key_P:
        if (down && !event.isAutoRepeat() && !mSession->stopped()) {
            mSession->setPaused(!mSession->paused());
            mClock.start();
            mFramesDue = 0;
            mHost.showStatus(statusText());
        }
        return true;
    case Qt::Key_R:
        if (down && !event.isAutoRepeat()) {
            mSession->restart();
            mEndShown = false;
            mClock.start();
            mFramesDue = 0;
            mHost.showStatus(statusText());
            mHost.frameChanged();
        }
        return true;
    case Qt::Key_Escape:
        if (down)
            stop();
        return true;
    default: return false;
    }
}

void PlayController::tick()
{
    if (!playing() || mSession->paused() || mSession->stopped())
        return;
    const int64_t due = mClock.elapsed() * kGameFramesPerSecond / 1000;
    int64_t frames = due - mFramesDue;
    if (frames <= 0)
        return;
    if (frames > kMostFramesATick) {
        frames = kMostFramesATick;
        mClock.start(); // behind: the game goes on from now
        mFramesDue = 0;
    } else {
        mFramesDue = due;
    }
    for (int64_t k = 0; k < frames && !mSession->stopped(); ++k)
        mSession->frame(mKeys);
    afterFrames();
}

void PlayController::playFrames(int n)
{
    if (!playing())
        return;
    for (int k = 0; k < n && !mSession->stopped(); ++k)
        mSession->frame(mKeys);
    afterFrames();
}

void PlayController::afterFrames()
{
    mHost.frameChanged();
    mHost.showStatus(statusText());
    if (mSession->stopped() && !mEndShown) {
        mEndShown = true;
        if (mSession->finished() && mSession->records())
            offerToKeep();
    }
}

QString PlayController::statusText() const
{
    if (!playing())
        return {};
    const std::string end = mSession->endText();
    if (!end.empty())
        return QString::fromStdString(end) + (mSession->finished() ? "   R to play again, Escape to edit" : "");
    return QString::fromStdString(mSession->statusText());
}

void PlayController::offerToKeep()
{
    const QString question = QString::fromStdString(mSession->endText()) + " Keep this run as the level's solution?";
    if (showMessage(MessageKind::Confirm, question, MessageButtons::YesNo, mWindow) != MessageButton::Yes)
        return;
    const std::vector<uint8_t> recording = mSession->recording();
    const int32_t level = curlevel;
    mDocument.runStep("Keep Solution", [&](StoreStep &step) {
        step.levelChanging(level);
        levels[level].solution = recording;
    });
}

} // namespace qm
