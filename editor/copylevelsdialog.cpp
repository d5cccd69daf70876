#include "copylevelsdialog.h"

#include "editor/core/levelcopy.h"
#include "overviewwindow.h"
#include "thumbnaillist.h"

#include "commands/storetext.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace qm {

CopyLevelsDialog::CopyLevelsDialog(const LevelsFileContent &file, const QString &fileName, QWidget *parent)
    : QDialog(parent), mFile(file), mTiles(OverviewWindow::kSquare)
{
    setObjectName("copyLevelsDialog");
    setWindowTitle("Copy levels from " + fileName);
    auto *hint = new QLabel("Choose the levels to copy after the last level of this file "
                            "(Ctrl+click and Shift+click choose more than one).",
                            this);
    list = new ThumbnailList(
        [this](int i) { return thumbnailImage(mTiles.draw(gamedir, *levelOfFile(mFile, i + 1))); },
        kGridSize * OverviewWindow::kSquare, this);
    list->setObjectName("copyLevelsList");
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setCount(int(file.levels.size()));
    for (size_t i = 0; i < file.levels.size(); ++i) {
        const LevelsFileContent::Level &level = file.levels[i];
        list->setLabel(int(i), QString("%1 %2\n%3 x %4").arg(i + 1).arg(toQt(level.name)).arg(level.width).arg(level.height));
    }
    auto *buttons = new QDialogButtonBox(this);
    copyButton = buttons->addButton("&Copy", QDialogButtonBox::AcceptRole);
    copyButton->setObjectName("copyButton");
    copyButton->setEnabled(false);
    cancelButton = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    cancelButton->setObjectName("cancelButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list, &QListWidget::itemSelectionChanged, this,
            [this] { copyButton->setEnabled(!list->selectedItems().isEmpty()); });
    connect(list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(list);
    layout->addWidget(buttons);
    resize(4 * (kGridSize * OverviewWindow::kSquare + 12) + 60, 600);
}

std::vector<int32_t> CopyLevelsDialog::chosen() const
{
    std::vector<int32_t> numbers;
    for (const QListWidgetItem *item : list->selectedItems())
        numbers.push_back(list->row(item) + 1);
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

} // namespace qm
