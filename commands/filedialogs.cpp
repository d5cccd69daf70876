#include "filedialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPixmapCache>
#include <QStringList>

#include "messagebox.h"

namespace qm {

namespace {

FileDialogResponder &responder()
{
    static FileDialogResponder instance;
    return instance;
}

} // namespace

void setFileDialogResponder(FileDialogResponder r) { responder() = std::move(r); }

QString toolkitFilter(const QString &filter)
{
    const QStringList parts = filter.split('|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        entries << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
    return entries.join(";;");
}

QString showFileDialog(const FileDialogRequest &request, QWidget *parent)
{
    if (responder())
        return responder()(request);

    QFileDialog dialog(parent, request.title, request.initialDirectory, toolkitFilter(request.filter));
    const bool open = request.mode == FileDialogRequest::Mode::Open;
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!request.initialName.isEmpty())
        dialog.selectFile(request.initialName);
    for (;;) {
        const int answer = dialog.exec();
        // The icons the dialog drew (its tool buttons, the files' types) stay in the toolkit's pixmap
        // cache, a few hundred kilobytes that the editor does not draw again: let go before a theme
        // is loaded.
        QPixmapCache::clear();
        if (answer != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        const QString chosen = dialog.selectedFiles().constFirst();
        QFileInfo info(chosen);
        // A read-only file is not accepted: the user picks another or cancels.
        if (request.refuseReadOnly && info.exists() && !info.isWritable()) {
            showMessage(MessageKind::Error, chosen + "\nThis file is read-only. Choose another file.",
                        MessageButtons::Ok, parent);
            continue;
        }
        return chosen;
    }
}

} // namespace qm
