#include "gamefiles.h"

#include "editorart.h"
#include "themeart.h"

#include "graphics/componentwriter.h"
#include "platform/fileio.h"

namespace qm::gamegen {

namespace {

std::string joinPath(const std::string &dir, const std::string &name)
{
    if (dir.empty() || dir.back() == '/')
        return dir + name;
    return dir + "/" + name;
}

} // namespace

void writeGameFiles(const std::string &dir)
{
    writeFileSafely(joinPath(dir, kEditorPicturesName), writeGraphicsFile(editorPictures()));
    for (const ThemeInfo &theme : themes())
        writeFileSafely(joinPath(dir, theme.fileName), writeGraphicsFile(themePictures(theme.id)));
}

} // namespace qm::gamegen
