#include "supaplexcommands.h"

#include "leveldocument.h"

#include "commands/filedialogs.h"
#include "commands/messagebox.h"
#include "commands/storetext.h"
#include "levels/levelstore.h"
#include "levels/supaplex.h"
#include "platform/errors.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <memory>

namespace qm {

namespace {

// What the settings box of a port says: a port without settings of its own changes nothing.
QString settingsText(bool changes) { return changes ? "as ticked" : "no change"; }

QTableWidgetItem *checkItem(bool on, bool enabled)
{
    auto *item = new QTableWidgetItem;
    item->setFlags(enabled ? Qt::ItemIsUserCheckable | Qt::ItemIsEnabled : Qt::ItemIsUserCheckable);
    item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    return item;
}

bool checked(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item && item->checkState() == Qt::Checked;
}

} // namespace

GameSettingsDialog::GameSettingsDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName("GameSettingsDialog");
    setWindowTitle("Game Settings");
    auto *layout = new QVBoxLayout(this);
    levelLabel = new QLabel(this);
    levelLabel->setObjectName("levelLabel");
    layout->addWidget(levelLabel);
    gravityBox = new QCheckBox("&Gravity at start", this);
    gravityBox->setObjectName("gravityBox");
    layout->addWidget(gravityBox);
    freezeZonksBox = new QCheckBox("&Freeze zonks", this);
    freezeZonksBox->setObjectName("freezeZonksBox");
    layout->addWidget(freezeZonksBox);
    portsLabel = new QLabel(this);
    portsLabel->setObjectName("portsLabel");
    portsLabel->setWordWrap(true);
    layout->addWidget(portsLabel);
    portsTable = new QTableWidget(0, 5, this);
    portsTable->setObjectName("portsTable");
    portsTable->setHorizontalHeaderLabels({"Port", "Settings", "Gravity", "Freeze zonks", "Freeze enemies"});
    portsTable->verticalHeader()->hide();
    portsTable->setSelectionMode(QAbstractItemView::NoSelection);
    portsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    portsTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    portsTable->setMinimumWidth(520);
    layout->addWidget(portsTable);
    auto *buttons = new QDialogButtonBox(this);
    okButton = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    okButton->setObjectName("okButton");
    okButton->setDefault(true);
    cancelButton = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    cancelButton->setObjectName("cancelButton");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(portsTable, &QTableWidget::cellChanged, this, &GameSettingsDialog::portChanged);
}

void GameSettingsDialog::setSettings(const GameSettings &settings, const QString &levelName)
{
    mShown = settings;
    levelLabel->setText("Level: " + levelName);
    gravityBox->setChecked(settings.gravity);
    freezeZonksBox->setChecked(settings.freezeZonks);
    const QSignalBlocker quiet(portsTable);
    portsTable->setRowCount(int(settings.ports.size()));
    for (int row = 0; row < int(settings.ports.size()); ++row) {
        const SpecialPortSettings &port = settings.ports[size_t(row)];
        auto *place = new QTableWidgetItem(QString("column %1, row %2").arg(port.column).arg(port.row));
        place->setFlags(Qt::ItemIsEnabled);
        portsTable->setItem(row, PortColumn, place);
        QTableWidgetItem *changes = checkItem(port.changes, true);
        changes->setText(settingsText(port.changes));
        portsTable->setItem(row, ChangesColumn, changes);
        portsTable->setItem(row, GravityColumn, checkItem(port.gravity, port.changes));
        portsTable->setItem(row, FreezeZonksColumn, checkItem(port.freezeZonks, port.changes));
        portsTable->setItem(row, FreezeEnemiesColumn, checkItem(port.freezeEnemies, port.changes));
    }
    portsLabel->setText(settings.ports.empty()
                            ? "The level has no special ports."
                            : "Special ports: passing one whose settings are ticked sets gravity and freezes zonks "
                              "and enemies as ticked; one with \"no change\" leaves them as they are.");
    portsTable->setVisible(!settings.ports.empty());
}

void GameSettingsDialog::portChanged(int row, int column)
{
    if (column != ChangesColumn)
        return;
    const bool on = checked(portsTable, row, ChangesColumn);
    {
        const QSignalBlocker quiet(portsTable);
        portsTable->item(row, ChangesColumn)->setText(settingsText(on));
    }
    for (int c = GravityColumn; c <= FreezeEnemiesColumn; ++c)
        if (QTableWidgetItem *item = portsTable->item(row, c))
            item->setFlags(on ? Qt::ItemIsUserCheckable | Qt::ItemIsEnabled : Qt::ItemIsUserCheckable);
}

GameSettings GameSettingsDialog::settings() const
{
    GameSettings result = mShown;
    result.gravity = gravityBox->isChecked();
    result.freezeZonks = freezeZonksBox->isChecked();
    for (int row = 0; row < int(result.ports.size()); ++row) {
        SpecialPortSettings &port = result.ports[size_t(row)];
        port.changes = checked(portsTable, row, ChangesColumn);
        // A port that changes nothing has no switches: they read off, as the level keeps them.
        port.gravity = port.changes && checked(portsTable, row, GravityColumn);
        port.freezeZonks = port.changes && checked(portsTable, row, FreezeZonksColumn);
        port.freezeEnemies = port.changes && checked(portsTable, row, FreezeEnemiesColumn);
    }
    return result;
}

void gameSettingsCommand(QWidget *parent, LevelDocument &document)
{
    if (!fileopen || curlevel < 1 || curlevel > levelsinfo.count)
        return;
    const int32_t k = curlevel;
    const tlevel &level = levels[k];
    if (int64_t(level.width) * level.height < int64_t(kSupaplexHeaderBytes)) {
        // Refused before the dialog: the settings would have nowhere to be kept.
        showError(QString("The game's settings need a level of at least %1 squares; this one has %2.")
                      .arg(kSupaplexHeaderBytes)
                      .arg(int64_t(level.width) * level.height),
                  parent);
        return;
    }
    auto *dialog = parent->findChild<GameSettingsDialog *>(QString(), Qt::FindDirectChildrenOnly);
    if (!dialog)
        dialog = new GameSettingsDialog(parent);
    const GameSettings before = gameSettingsOf(levels[k]);
    dialog->setSettings(before, toQt(levels[k].name));
    if (dialog->exec() != QDialog::Accepted)
        return;
    const GameSettings after = dialog->settings();
    if (after == before)
        return;
    // Tried on a copy first: a refusal leaves the level and the history as they were.
    auto changed = std::make_unique<tlevel>(levels[k]);
    applyGameSettings(*changed, after);
    document.runStep("Game Settings", [&](StoreStep &step) {
        step.levelChanging(k);
        levels[k] = *changed;
    });
}

void exportSupaplexCommand(QWidget *parent, const std::function<void(const QString &)> &tell)
{
    if (!fileopen || curlevel < 1 || curlevel > levelsinfo.count)
        return;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = "Export to Supaplex";
    request.filter = "Supaplex level, the current one|*.sp|Supaplex levels file, every level|*.dat|All files|*.*";
    request.initialName = "Levels.dat";
    const QString chosen = showFileDialog(request, parent);
    if (chosen.isEmpty())
        return;
    const std::string path = toPath(chosen);
    const bool one = isSupaplexRecording(path);
    const int32_t first = one ? curlevel : 1, last = one ? curlevel : levelsinfo.count;
    exportSupaplex(path, first, last);
    if (tell)
        tell(one ? QString("Exported level %1 to %2").arg(curlevel).arg(chosen)
                 : QString("Exported %1 levels to %2").arg(last).arg(chosen));
}

} // namespace qm
