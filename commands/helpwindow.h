#pragma once
// The editor's help: the help document "Editor.hlp" of the game directory, read and shown in the
// editor's own help window.
//
// The document is a text file (UTF-8, lines ending in LF or CR LF):
//   line 1        "QUILLMOSS-HELP 1"
//   "@topic N T"  starts topic N (0..9999, each number once) titled T, the rest of the line
//   other lines   after a marker: the topic's body, simple HTML; <a href="topic:N"> links to topic N.
//                 Lines between line 1 and the first marker are comments.
// Topic 0 is the table of contents, topic 1 "Getting Started". The file comes from outside the
// program: whatever bytes it holds, reading it either gives its topics or a clear reason.

#include <QTextBrowser>
#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

class QPushButton;
class QUrl;

namespace qm {

struct HelpTopic {
    int number = 0;
    std::string title;
    std::string body; // HTML
};

struct HelpDocument {
    std::vector<HelpTopic> topics; // in the order of the file

    const HelpTopic *topic(int number) const;
};

inline constexpr const char *kHelpFileName = "Editor.hlp";
inline constexpr int kHelpContentsTopic = 0;
inline constexpr int kHelpGettingStartedTopic = 1;
inline constexpr int kLargestHelpTopic = 9999;

// The topics of a help document. A text that is not one (an empty text, a wrong first line, a bad or
// repeated topic marker) throws qm::Error whose message says why, naming the line.
HelpDocument parseHelpDocument(std::string_view text);

// Reads and parses a help file (found in any letter case). Every failure throws qm::Error with the
// message "The help file PATH cannot be read: REASON".
HelpDocument readHelpDocument(const std::string &path);

// The help file of the game directory: gamedir + "Editor.hlp".
std::string helpFilePath();

// The number of the topic a link leads to ("topic:N"), or -1 for any other link.
int helpLinkTopic(const QUrl &link);

// Shows topics as rich text and never loads anything a topic names (pictures, style sheets, pages).
class HelpBrowser : public QTextBrowser {
    Q_OBJECT

public:
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int type, const QUrl &name) override;
};

// The help window: one topic at a time, links between topics, Contents and Back buttons. A top-level
// window that stays open beside the editor.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // Reads the help file afresh and shows the topic, raising the window. A file that cannot be read
    // or lacks the topic is reported in an error box, and the window is left as it was.
    bool openTopic(const std::string &helpFile, int number);

    // Goes to a topic of the document already read (a link, the Contents button); a missing topic is
    // reported in an error box.
    bool goToTopic(int number);
    void goBack();

    int currentTopic() const { return mCurrent; }
    const std::string &helpFile() const { return mPath; }

    QPushButton *contentsButton;
    QPushButton *backButton;
    HelpBrowser *browser;

private:
    void display(int number);
    void followLink(const QUrl &link);

    HelpDocument mDocument;
    std::string mPath;
    int mCurrent = -1;
    std::vector<int> mHistory;
};

// "Contents" of the Help menu: the table of contents of helpFile.
bool showHelpContents(HelpWindow &window, const std::string &helpFile = helpFilePath());
// "Getting Started" of the Help menu: topic 1 of helpFile.
bool showHelpGettingStarted(HelpWindow &window, const std::string &helpFile = helpFilePath());

} // namespace qm
