#include "levelcheckwindow.h"

#include "commands/storetext.h"

#include "levels/levelstore.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace qm {

namespace {

// Often enough to follow painting, rarely enough that a shown list costs nothing noticeable.
constexpr int kRefreshMilliseconds = 400;
enum Column { SeverityColumn, LevelColumn, CellColumn, MessageColumn, ColumnCount };
constexpr int kLevelRole = Qt::UserRole;
constexpr int kRowRole = Qt::UserRole + 1;
constexpr int kColumnRole = Qt::UserRole + 2;

} // namespace

bool LevelCheckWindow::Checked::sameHeader(const tlevel &level) const
{
    return name == level.name && dxg == level.dxg && width == level.width && height == level.height
           && startx == level.startx && starty == level.starty && infotrons == level.infotrons;
}

LevelCheckWindow::LevelCheckWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName("levelCheckWindow");
    resize(900, 300);
    mList = new QTableWidget(0, ColumnCount, this);
    mList->setHorizontalHeaderLabels({"Severity", "Level", "Cell", "Message"});
    mList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mList->setSelectionBehavior(QAbstractItemView::SelectRows);
    mList->setSelectionMode(QAbstractItemView::SingleSelection);
    mList->verticalHeader()->hide();
    mList->setWordWrap(false); // one line a finding; the message is read whole in its tool tip
    mList->horizontalHeader()->setStretchLastSection(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mList);

    connect(mList, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        const QTableWidgetItem *item = mList->item(row, SeverityColumn);
        if (!item || !findingChosen)
            return;
        std::optional<CellPlace> cell;
        if (item->data(kRowRole).isValid())
            cell = CellPlace{item->data(kRowRole).toInt(), item->data(kColumnRole).toInt()};
        findingChosen(item->data(kLevelRole).toInt(), cell);
    });
    mRefreshTimer.setInterval(kRefreshMilliseconds);
    connect(&mRefreshTimer, &QTimer::timeout, this, &LevelCheckWindow::refresh);
}

void LevelCheckWindow::showChecks(Scope scope)
{
    mScope = scope;
    mChecks.forgetGraphics();
    mChecked.clear();
    mFirst = -1; // the list is made again, whatever it showed
    refresh();
    setWindowTitle(scope == Scope::CurrentLevel ? "Check Level" : "Check All Levels");
    show();
    raise();
    activateWindow();
}

void LevelCheckWindow::showEvent(QShowEvent *event)
{
    mRefreshTimer.start();
    QWidget::showEvent(event);
}

void LevelCheckWindow::hideEvent(QHideEvent *event)
{
    mRefreshTimer.stop();
    QWidget::hideEvent(event);
}

bool LevelCheckWindow::recheck(int32_t k, bool always)
{
    const size_t at = size_t(k - mFirst);
    const tlevel &level = levels[k];
    if (at < mChecked.size() && !always && mChecked[at].sameHeader(level))
        return false;
    Checked fresh{level.name,   level.dxg,    level.width, level.height, level.startx,
                  level.starty, level.infotrons, mChecks.checkStoreLevel(k)};
    if (at >= mChecked.size()) {
        mChecked.push_back(std::move(fresh));
        return true;
    }
    const bool changed = !mChecked[at].sameHeader(level) || mChecked[at].findings.size() != fresh.findings.size()
                         || !std::equal(fresh.findings.begin(), fresh.findings.end(), mChecked[at].findings.begin(),
                                        [](const Finding &a, const Finding &b) {
                                            return a.code == b.code && a.message == b.message && a.cell == b.cell;
                                        });
    mChecked[at] = std::move(fresh);
    return changed;
}

void LevelCheckWindow::refresh()
{
    const bool open = fileopen && curlevel >= 1 && curlevel <= levelsinfo.count;
    const int32_t first = !open ? 0 : mScope == Scope::CurrentLevel ? curlevel : 1;
    const int32_t last = !open ? -1 : mScope == Scope::CurrentLevel ? curlevel : levelsinfo.count;
    // Another level or another number of levels: everything is checked again.
    bool changed = first != mFirst || size_t(last - first + 1) != mChecked.size();
    if (changed) {
        mFirst = first;
        mChecked.clear();
    }
    for (int32_t k = first; k <= last; ++k)
        changed = recheck(k, k == curlevel) || changed;
    if (changed)
        fillList();
}

void LevelCheckWindow::fillList()
{
    mList->setRowCount(0);
    for (size_t at = 0; at < mChecked.size(); ++at) {
        const int32_t k = mFirst + int32_t(at);
        auto addRow = [&](Severity level, const std::string &text, std::optional<CellPlace> cell) {
            const int row = mList->rowCount();
            mList->insertRow(row);
            auto *severity = new QTableWidgetItem(severityName(level));
            severity->setData(kLevelRole, k);
            if (cell) {
                severity->setData(kRowRole, cell->row);
                severity->setData(kColumnRole, cell->column);
            }
            mList->setItem(row, SeverityColumn, severity);
            mList->setItem(row, LevelColumn,
                           new QTableWidgetItem(QString::number(k) + " (" + toQt(mChecked[at].name) + ")"));
            mList->setItem(row, CellColumn,
                           new QTableWidgetItem(cell ? QString("column %1, row %2").arg(cell->column).arg(cell->row)
                                                     : QString()));
            auto *message = new QTableWidgetItem(toQt(text));
            message->setToolTip(message->text());
            mList->setItem(row, MessageColumn, message);
        };
        // Errors first, then warnings, each in the order found.
        for (const Severity severity : {Severity::Error, Severity::Warning})
            for (const Finding &finding : mChecked[at].findings)
                if (finding.severity == severity)
                    addRow(finding.severity, finding.message, finding.cell);
        // Notes, folded by kind: a double-click shows the first of a kind.
        for (const NoteGroup &notes : foldNotes(mChecked[at].findings))
            addRow(Severity::Note, notes.text, notes.first);
    }
    if (mList->rowCount() == 0 && !mChecked.empty()) {
        // An empty table would not say whether anything was checked.
        const int32_t last = mFirst + int32_t(mChecked.size()) - 1;
        auto *message = new QTableWidgetItem(last == mFirst ? QString("No problems found in level %1").arg(mFirst)
                                                            : QString("No problems found in levels %1 to %2")
                                                                  .arg(mFirst)
                                                                  .arg(last));
        mList->insertRow(0);
        mList->setItem(0, MessageColumn, message);
    }
    mList->resizeColumnsToContents();
    mList->resizeRowsToContents();
}

} // namespace qm
