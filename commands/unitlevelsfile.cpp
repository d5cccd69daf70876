#include "unitlevelsfile.h"

#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "filedialogs.h"
#include "levels/gameconfig.h"
#include "levels/levelstore.h"
#include "messagebox.h"
#include "platform/files.h"

namespace qm {

namespace {

bool sameIgnoringCase(const std::string &a, const std::string &b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// A directory written with "." and ".." resolved and without a trailing separator, for comparison.
std::string normalDirectory(const std::string &dir)
{
    std::string normal = std::filesystem::path(dir).lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/')
        normal.pop_back();
    return normal;
}

// An existing regular file (or a link to one), found as fileexists finds it: in any letter case.
bool regularFileExists(const std::string &name)
{
    if (!fileexists(name))
        return false;
    std::error_code ignored;
    return std::filesystem::is_regular_file(resolveDataFile(name), ignored);
}

// File names are stored as the bytes the file system uses.
QString nameToQt(const std::string &name) { return fromPath(name); }
std::string nameFromQt(const QString &name) { return toPath(name); }

} // namespace

LevelsFileVerdict judgeLevelsFileName(const std::string &typed, const std::string &gameDir)
{
    const LevelsFileVerdict missing{false, {}, kLevelsFileMissing};
    const size_t slash = typed.rfind('/');
    if (slash == std::string::npos) {
        if (!typed.empty() && regularFileExists(gameDir + typed))
            return {true, typed, {}};
        return missing;
    }

    const std::string base = typed.substr(slash + 1);
    std::string dir = typed.substr(0, slash + 1);
    if (dir.front() != '/')
        dir = gameDir + dir;
    if (base.empty())
        return missing;
    if (sameIgnoringCase(normalDirectory(dir), normalDirectory(gameDir)))
        return regularFileExists(gameDir + base) ? LevelsFileVerdict{true, base, {}} : missing;
    if (regularFileExists(dir + base))
        return {false, {}, kNotInGameDirectory};
    return missing;
}

Tlevelsfile::Tlevelsfile(QWidget *parent) : QDialog(parent)
{
    setObjectName("levelsfile");
    setWindowTitle("levelsfile");
    setFixedSize(340, 100);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameShape(QFrame::Panel);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 324, 48);

    Label1 = new QLabel("Name", this);
    Label1->setGeometry(18, 23, 40, 18);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setGeometry(60, 20, 178, 24);
    Label1->setBuddy(Edit1);
    Button1 = new QPushButton("Browse", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(246, 19, 76, 26);

    Button3 = new QPushButton("Ok", this);
    Button3->setObjectName("Button3");
    Button3->setGeometry(166, 66, 80, 26);
    Button3->setDefault(true);
    Button2 = new QPushButton("Cancel", this);
    Button2->setObjectName("Button2");
    Button2->setGeometry(252, 66, 80, 26);

    connect(Button1, &QPushButton::clicked, this, &Tlevelsfile::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &Tlevelsfile::Button3Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void Tlevelsfile::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    FormShow();
}

void Tlevelsfile::FormShow()
{
    Edit1->setText(nameToQt(cfglevelsfile));
    Edit1->setFocus(Qt::OtherFocusReason);
}

void Tlevelsfile::Button1Click()
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.filter = "Quillmoss Levels-Files|*.lev";
    request.initialDirectory = nameToQt(gamedir);
    const QString chosen = showFileDialog(request, this);
    if (!chosen.isEmpty())
        Edit1->setText(chosen);
}

void Tlevelsfile::Button3Click()
{
    const LevelsFileVerdict verdict = judgeLevelsFileName(nameFromQt(Edit1->text()), gamedir);
    if (!verdict.accepted) {
        showMessage(MessageKind::Error, QString::fromUtf8(verdict.refusal), MessageButtons::Ok, this);
        return;
    }
    cfglevelsfile = verdict.name;
    accept();
}

} // namespace qm
