#pragma once
// The level-check window: a non-modal list of the findings of the current level or of every level of
// the open file, kept up to date while it is shown: errors and warnings one a row, notes folded by
// level and kind. It reads the level store and knows nothing of the main window: a double-clicked
// finding is handed to findingChosen.

#include "editor/core/storechecks.h"

#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

class QTableWidget;

namespace qm {

class LevelCheckWindow : public QWidget {
    Q_OBJECT

public:
    enum class Scope { CurrentLevel, AllLevels };

    explicit LevelCheckWindow(QWidget *parent = nullptr);

    // Checks now (graphics files read afresh), then shows the window and brings it to the front.
    void showChecks(Scope scope);
    // Checks again when the store changed since the list was made; the timer calls it while shown.
    void refresh();

    // A finding was double-clicked: its level, and its cell when it has one.
    std::function<void(int32_t level, std::optional<CellPlace> cell)> findingChosen;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // What the list was made from, for one level: the findings depend on the cells too, but only the
    // current level's cells change under painting, and it is checked again every time.
    struct Checked {
        std::string name, dxg;
        int32_t width, height, startx, starty, infotrons;
        std::vector<Finding> findings;
        bool sameHeader(const tlevel &level) const;
    };

    void fillList();
    bool recheck(int32_t k, bool always);

    QTableWidget *mList = nullptr;
    QTimer mRefreshTimer;
    StoreChecks mChecks;
    Scope mScope = Scope::CurrentLevel;
    std::vector<Checked> mChecked; // levels first..last of the scope
    int32_t mFirst = 0;            // the level of mChecked[0]
};

} // namespace qm
