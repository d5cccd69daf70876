#pragma once
// The game's side of a level in the window: Edit → Game Settings… (gravity and frozen zonks at the
// start, and what each special port switches) and File → Export to Supaplex… (the current level as a
// .sp file, or every level as a levels file). The rules are levels/supaplexexport.h.

#include "levels/supaplexexport.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace qm {

class LevelDocument;

class GameSettingsDialog : public QDialog {
    Q_OBJECT

public:
    explicit GameSettingsDialog(QWidget *parent = nullptr);

    // Shows settings; the level's name goes into the caption's line.
    void setSettings(const GameSettings &settings, const QString &levelName);
    // What the fields say now.
    GameSettings settings() const;

    // The ports' table: one row a special port; the columns after the port are check boxes. A port's
    // settings box reads "no change" unticked (passing it changes nothing) and "as ticked" ticked.
    enum Column { PortColumn, ChangesColumn, GravityColumn, FreezeZonksColumn, FreezeEnemiesColumn };

    QLabel *levelLabel = nullptr;
    QCheckBox *gravityBox = nullptr;
    QCheckBox *freezeZonksBox = nullptr;
    QLabel *portsLabel = nullptr;
    QTableWidget *portsTable = nullptr;
    QPushButton *okButton = nullptr;
    QPushButton *cancelButton = nullptr;

private:
    void portChanged(int row, int column);

    GameSettings mShown;
};

// Edit → Game Settings…: the dialog for the current level; a change is one step named "Game Settings".
// A level too small to keep the settings (fewer than 96 squares) is refused in an error box.
void gameSettingsCommand(QWidget *parent, LevelDocument &document);

// File → Export to Supaplex…: asks for the file; a name ending in .sp takes the current level, any other
// name every level of the file (at most 111). Refusals are thrown before anything is written. Tells the
// status line what was written.
void exportSupaplexCommand(QWidget *parent, const std::function<void(const QString &)> &tell);

} // namespace qm
