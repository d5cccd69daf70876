#include "helpwindow.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "levels/levelstore.h"
#include "messagebox.h"
#include "platform/errors.h"
#include "platform/fileio.h"
#include "platform/files.h"
#include "platform/limits.h"

namespace qm {

namespace {

constexpr std::string_view kSignature = "QUILLMOSS-HELP 1";
constexpr std::string_view kMarker = "@topic ";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

[[noreturn]] void malformed(size_t line, const std::string &reason)
{
    throw Error("EHelpError", "line " + std::to_string(line) + ": " + reason);
}

// The topic number at the start of text ("N" or "N title"), or -1 when there is none in 0..9999.
int leadingTopicNumber(std::string_view text, size_t &digits)
{
    digits = 0;
    int number = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        number = number * 10 + (text[digits] - '0');
        if (++digits > 4)
            return -1;
    }
    return digits == 0 ? -1 : number;
}

// Text of the file for the rich-text view: invalid UTF-8 becomes replacement characters, and so do
// NUL characters, which the view would take for the end of the text.
QString toDisplay(const std::string &text)
{
    QString result = QString::fromUtf8(text.data(), qsizetype(text.size()));
    result.replace(QChar(u'\0'), QChar(QChar::ReplacementCharacter));
    return result;
}

QString helpFileText(const std::string &path) { return toDisplay(path); }

} // namespace

const HelpTopic *HelpDocument::topic(int number) const
{
    auto found = std::find_if(topics.begin(), topics.end(), [number](const HelpTopic &t) { return t.number == number; });
    return found == topics.end() ? nullptr : &*found;
}

HelpDocument parseHelpDocument(std::string_view text)
{
    if (text.empty())
        throw Error("EHelpError", "the file is empty");
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());

    HelpDocument document;
    HelpTopic *current = nullptr;
    size_t lineNumber = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        ++lineNumber;

        if (lineNumber == 1) {
            if (line != kSignature)
                throw Error("EHelpError", "it is not a Quillmoss help document (its first line is not \""
                                              + std::string(kSignature) + "\")");
            continue;
        }
        if (line.substr(0, kMarker.size()) == kMarker) {
            std::string_view rest = line.substr(kMarker.size());
            size_t digits = 0;
            const int number = leadingTopicNumber(rest, digits);
            if (number < 0 || (digits < rest.size() && rest[digits] != ' '))
                malformed(lineNumber, "\"@topic\" must be followed by a topic number from 0 to "
                                          + std::to_string(kLargestHelpTopic));
            if (document.topic(number))
                malformed(lineNumber, "topic " + std::to_string(number) + " is defined twice");
            rest.remove_prefix(std::min(rest.size(), digits + 1));
            document.topics.push_back(HelpTopic{number, std::string(rest), {}});
            current = &document.topics.back();
            continue;
        }
        if (current) {
            current->body.append(line);
            current->body.push_back('\n');
        }
    }
    return document;
}

HelpDocument readHelpDocument(const std::string &path)
{
    try {
        const Bytes bytes = readWholeFile(resolveDataFile(path), kMaxHelpFileBytes);
        return parseHelpDocument(std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size()));
    } catch (const Error &e) {
        throw Error(e.className(), "The help file " + path + " cannot be read: " + e.what());
    }
}

std::string helpFilePath() { return gamedir + kHelpFileName; }

int helpLinkTopic(const QUrl &link)
{
    if (link.scheme() != "topic")
        return -1;
    const QString path = link.path();
    if (path.isEmpty() || path.size() > 4)
        return -1;
    for (QChar c : path)
        if (c < u'0' || c > u'9')
            return -1;
    return path.toInt();
}

QVariant HelpBrowser::loadResource(int, const QUrl &) { return {}; }

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName("HelpWindow");
    setWindowTitle("Quillmoss Help");
    resize(560, 460);

    contentsButton = new QPushButton("Contents", this);
    contentsButton->setObjectName("contentsButton");
    backButton = new QPushButton("Back", this);
    backButton->setObjectName("backButton");
    backButton->setEnabled(false);
    browser = new HelpBrowser(this);
    browser->setObjectName("browser");
    browser->setOpenLinks(false);
    browser->setOpenExternalLinks(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(contentsButton);
    buttons->addWidget(backButton);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(buttons);
    layout->addWidget(browser, 1);

    connect(contentsButton, &QPushButton::clicked, this, [this] { goToTopic(kHelpContentsTopic); });
    connect(backButton, &QPushButton::clicked, this, &HelpWindow::goBack);
    connect(browser, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
}

bool HelpWindow::openTopic(const std::string &helpFile, int number)
{
    HelpDocument document;
    try {
        document = readHelpDocument(helpFile);
    } catch (const Error &e) {
        showMessage(MessageKind::Error, toDisplay(e.what()), MessageButtons::Ok, parentWidget());
        return false;
    }
    if (!document.topic(number)) {
        showMessage(MessageKind::Error,
                    "The help file " + helpFileText(helpFile) + " has no topic " + QString::number(number) + ".",
                    MessageButtons::Ok, parentWidget());
        return false;
    }
    mDocument = std::move(document);
    mPath = helpFile;
    mHistory.clear();
    display(number);
    show();
    raise();
    activateWindow();
    return true;
}

bool HelpWindow::goToTopic(int number)
{
    if (number == mCurrent)
        return true;
    if (!mDocument.topic(number)) {
        showMessage(MessageKind::Error,
                    "The help file " + helpFileText(mPath) + " has no topic " + QString::number(number) + ".",
                    MessageButtons::Ok, this);
        return false;
    }
    if (mCurrent >= 0)
        mHistory.push_back(mCurrent);
    display(number);
    return true;
}

void HelpWindow::goBack()
{
    if (mHistory.empty())
        return;
    const int previous = mHistory.back();
    mHistory.pop_back();
    display(previous);
}

void HelpWindow::display(int number)
{
    const HelpTopic *topic = mDocument.topic(number);
    if (!topic)
        return;
    mCurrent = number;
    const QString title = toDisplay(topic->title);
    setWindowTitle(title.isEmpty() ? QString("Quillmoss Help") : "Quillmoss Help: " + title);
    browser->setHtml(toDisplay(topic->body));
    backButton->setEnabled(!mHistory.empty());
}

void HelpWindow::followLink(const QUrl &link)
{
    const int number = helpLinkTopic(link);
    if (number >= 0)
        goToTopic(number);
}

bool showHelpContents(HelpWindow &window, const std::string &helpFile)
{
    return window.openTopic(helpFile, kHelpContentsTopic);
}

bool showHelpGettingStarted(HelpWindow &window, const std::string &helpFile)
{
    return window.openTopic(helpFile, kHelpGettingStartedTopic);
}

} // namespace qm
