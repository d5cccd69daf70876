#pragma once
// Play Level (F9) and Play from Here (Shift+F9): the map area plays the current level under the game
// engine at the game's 35 frames a second, on a timer of its own. Play works on a copy of the level;
// the window routes keys here while playing and asks for the frame to draw. At the finish of a recorded
// run the player may keep it as the level's solution (one undo step).

#include "editor/core/playsession.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class QKeyEvent;
class QWidget;

namespace qm {

class LevelDocument;

class PlayController : public QObject {
    Q_OBJECT

public:
    struct Host {
        std::function<void()> frameChanged;           // a new frame is to be drawn
        std::function<void(bool playing)> playingChanged; // the editing commands follow
        std::function<void(const QString &)> showStatus;  // the status line while playing
        std::function<void(const std::function<void()> &)> guarded; // failures in an error box
    };
    PlayController(QWidget *window, LevelDocument &document, Host host);
    ~PlayController() override;

    bool playing() const { return mSession != nullptr; }
    // Starts playing the current level: from its start square, or (fromHere) from square without
    // recording. A level that cannot be played says why in an error box.
    void start(std::optional<Square> fromHere = {});
    // Back to editing, exactly where it was.
    void stop();
    // The keys while playing: arrows and Space for the game, P pause, R restart, Escape back. Answers
    // whether the key was the game's.
    bool keyEvent(const QKeyEvent &event);

    const PlaySession *session() const { return mSession.get(); }
    // Runs the frames that are due (the timer's work; tests call it to step the game).
    void tick();
    // Plays exactly n frames now with the keys held (tests).
    void playFrames(int n);
    QString statusText() const;

private:
    void afterFrames();
    void offerToKeep();

    QWidget *mWindow;
    LevelDocument &mDocument;
    Host mHost;
    std::unique_ptr<PlaySession> mSession;
    HeldKeys mKeys;
    QTimer mTimer;
    QElapsedTimer mClock;
    int64_t mFramesDue = 0; // frames played since mClock started
    bool mEndShown = false;
};

} // namespace qm
