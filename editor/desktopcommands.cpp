// The main window's desktop habits: File > Open Recent, files dropped onto the window, and the current
// level as a picture (exported as a PNG file or copied to the clipboard).

#include "qmeditorunit1.h"

#include "editor/core/filedrop.h"
#include "editor/core/levelpicture.h"
#include "maptoolscontroller.h"
#include "recentfiles.h"

#include "commands/filedialogs.h"
#include "commands/messagebox.h"
#include "commands/storetext.h"

#include "levels/levelstore.h"

#include "graphics/directdrawsurface.h"

#include "platform/errors.h"
#include "platform/fileio.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <filesystem>

namespace qm {

namespace {

// The local files of a drop that may be files to open (folders are not), with what to do with them.
std::pair<DropChoice, QStringList> droppedFiles(const QMimeData *data)
{
    QStringList paths;
    std::vector<std::string> names;
    if (data)
        for (const QUrl &url : data->urls()) {
            // The name's bytes as the URL carries them (toLocalFile would read them as UTF-8).
            const std::string name =
                QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
            std::error_code unknown;
            if (url.isLocalFile() && !name.empty() && !std::filesystem::is_directory(name, unknown)) {
                paths.append(fromPath(name));
                names.push_back(name);
            }
        }
    return {chooseDrop(names, fileopen), paths};
}

// A level's name as a file name: what a file system refuses becomes "_".
QString pictureFileName(const tlevel &level, int32_t number)
{
    QString name = toQt(level.name).trimmed();
    for (QChar &c : name)
        if (c == '/' || c == '\\' || c.unicode() < 32)
            c = '_';
    if (name.isEmpty() || name.startsWith('.'))
        name = QString("Level %1").arg(number);
    return name + ".png";
}

} // namespace

// The open file's path, when it has one, at the top of Open Recent.
void TMainForm::rememberLevelsFile()
{
    if (!levelsfilepath.empty())
        mRecentFiles->add(fromPath(levelsfilepath));
}

// A recent file opens as Open Levels File does after its file dialog, once asksave has said yes.
void TMainForm::openRecentFile(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        mRecentFiles->remove(path);
        showMessage(MessageKind::Error, "The file " + path + " no longer exists. It is taken off the list.",
                    MessageButtons::Ok, this);
        return;
    }
    // As Open Levels File once its dialog has given the file.
    if (asksave())
        openLevelsFile(path);
}

void TMainForm::dragEnterEvent(QDragEnterEvent *event)
{
    // Refused: the pointer shows that nothing would happen.
    if (mWaitingForSurface || droppedFiles(event->mimeData()).first.action == DropChoice::Action::Refuse) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction); // never a move: the dropped file stays where it is
    event->accept();
}

void TMainForm::dropEvent(QDropEvent *event)
{
    const auto [choice, paths] = droppedFiles(event->mimeData());
    if (mWaitingForSurface || choice.action == DropChoice::Action::Refuse) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // Once the drop is over: the program the file came from is not kept waiting while dialogs are open.
    const QString path = paths[qsizetype(choice.file)];
    const bool open = choice.action == DropChoice::Action::Open;
    QTimer::singleShot(0, this, [this, path, open] {
        if (mWaitingForSurface || QApplication::activeModalWidget())
            return;
        guarded([this, &path, open] {
            if (!open)
                importSupaplexLevel(path);
            else if (asksave())
                openLevelsFile(path);
        });
        workChanged();
    });
}

// The current level drawn whole, as `qmtool lev render` draws it, with the overlays while shown.
QImage TMainForm::levelPicture()
{
    const tlevel *level = currentLevel();
    if (!fileopen)
        throw Error("Error", "You must first open or create a new levels file");
    if (!level)
        throw Error("Error", "This levels file has no level shown: there is no picture to make.");
    const PictureSize size = levelPictureSize(*level);
    // Drawn with the level's own tiles, which the map may not have loaded yet.
    if (level->dxg != loadeddxg)
        loadTiles(level->dxg);
    TDirectDrawSurface surface;
    surface.setPixelFormat(DXDraw->Surface().pixelFormat());
    surface.SetSize(size.width, size.height);
    drawLevelPicture(surface, patratele.Items(), *level, mMapTools->tools().overlays);
    const bool wide = bytesPerPixel(surface.pixelFormat()) == 4;
    const QImage shown(surface.bits(), surface.Width(), surface.Height(), qsizetype(surface.pitch()),
                       wide ? QImage::Format_RGB32 : QImage::Format_RGB16);
    return shown.convertToFormat(QImage::Format_RGB888); // a copy: the surface goes
}

void TMainForm::exportPictureClick()
{
    const QImage picture = levelPicture();
    const QString folder = levelsfilepath.empty() ? QString() : QFileInfo(fromPath(levelsfilepath)).path();
    QString path = showFileDialog({FileDialogRequest::Mode::Save, "Export level picture", "PNG picture|*.png",
                                   folder, pictureFileName(levels[curlevel], curlevel), false},
                                  this);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += ".png";
    // Saved as every file is: a failed export leaves a file of that name as it was, and a device or a
    // pipe of that name is refused.
    QByteArray encoded;
    QBuffer buffer(&encoded);
    if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG"))
        throw Error("EInOutError", "Cannot write the image " + toPath(path));
    writeFileSafely(toPath(path), encoded.constData(), size_t(encoded.size()));
}

void TMainForm::copyPictureClick() { QGuiApplication::clipboard()->setImage(levelPicture()); }

} // namespace qm
