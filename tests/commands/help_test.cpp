// The help document's parser, and the help window driven through its widgets.

#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <random>

#include "commands/helpwindow.h"
#include "dialoghelpers.h"
#include "levels/levelstore.h"
#include "platform/errors.h"
#include "tempdir.h"

namespace {

using qmtest::click;

const std::string kDocument =
    "QUILLMOSS-HELP 1\n"
    "a comment before the first topic\n"
    "@topic 0 Contents\n"
    "<h2>Help</h2>\n"
    "<p><a href=\"topic:1\">Getting Started</a> and <a href=\"topic:7\">Keys</a>.</p>\n"
    "<p><a href=\"topic:42\">Gone</a> <a href=\"https://example.org/\">Outside</a></p>\n"
    "@topic 1 Getting Started\n"
    "<p>First steps.</p>\n"
    "@topic 7 Keys\n"
    "<p>Escape ends the editor.</p>\n";

std::string parseError(const std::string &text)
{
    try {
        qm::parseHelpDocument(text);
    } catch (const qm::Error &e) {
        return e.what();
    }
    return "(parsed)";
}

TEST(HelpDocument, TopicsTitlesAndBodies)
{
    const qm::HelpDocument doc = qm::parseHelpDocument(kDocument);
    ASSERT_EQ(doc.topics.size(), 3u);
    EXPECT_EQ(doc.topics[0].number, 0);
    EXPECT_EQ(doc.topics[0].title, "Contents");
    EXPECT_EQ(doc.topics[1].title, "Getting Started");
    EXPECT_EQ(doc.topics[1].body, "<p>First steps.</p>\n");
    EXPECT_NE(doc.topics[0].body.find("<a href=\"topic:7\">Keys</a>"), std::string::npos);
    EXPECT_EQ(doc.topic(7)->title, "Keys");
    EXPECT_EQ(doc.topic(2), nullptr);
    EXPECT_EQ(doc.topics[0].body.find("comment"), std::string::npos);
}

TEST(HelpDocument, ToleratedVariants)
{
    // A byte order mark, CR LF line ends, a marker without a title, the largest number, a line that
    // only looks like a marker, no final line end.
    const qm::HelpDocument doc = qm::parseHelpDocument("\xEF\xBB\xBFQUILLMOSS-HELP 1\r\n@topic 3\r\n@topics are "
                                                       "text\r\n@topic 9999 Last one  \r\nend");
    ASSERT_EQ(doc.topics.size(), 2u);
    EXPECT_EQ(doc.topics[0].number, 3);
    EXPECT_EQ(doc.topics[0].title, "");
    EXPECT_EQ(doc.topics[0].body, "@topics are text\n");
    EXPECT_EQ(doc.topics[1].number, 9999);
    EXPECT_EQ(doc.topics[1].title, "Last one  ");
    EXPECT_EQ(doc.topics[1].body, "end\n");

    EXPECT_TRUE(qm::parseHelpDocument("QUILLMOSS-HELP 1").topics.empty());
}

TEST(HelpDocument, MalformedDocumentsSayWhy)
{
    EXPECT_EQ(parseError(""), "the file is empty");
    EXPECT_EQ(parseError("QUILLMOSS-HELP 2\n@topic 0 C\n"),
              "it is not a Quillmoss help document (its first line is not \"QUILLMOSS-HELP 1\")");
    EXPECT_EQ(parseError("\n"), parseError("QUILLMOSS-HELP 2"));
    const std::string badNumber = "\"@topic\" must be followed by a topic number from 0 to 9999";
    EXPECT_EQ(parseError("QUILLMOSS-HELP 1\n@topic 0 C\n@topic x\n"), "line 3: " + badNumber);
    EXPECT_EQ(parseError("QUILLMOSS-HELP 1\n@topic 10000 Big\n"), "line 2: " + badNumber);
    EXPECT_EQ(parseError("QUILLMOSS-HELP 1\n@topic 12abc\n"), "line 2: " + badNumber);
    EXPECT_EQ(parseError("QUILLMOSS-HELP 1\n@topic -1 Minus\n"), "line 2: " + badNumber);
    EXPECT_EQ(parseError("QUILLMOSS-HELP 1\n@topic \n"), "line 2: " + badNumber);
    EXPECT_EQ(parseError("QUILLMOSS-HELP 1\n@topic 4 A\n\n@topic 04 B\n"), "line 4: topic 4 is defined twice");
}

TEST(HelpDocument, AnyBytesParseOrFailCleanly)
{
    std::mt19937 random(7);
    const std::string alphabet = "QUILMOSHEP-1 @topic0123456789\n\r<>\"&:ab\0\xff\xc3";
    for (int round = 0; round < 3000; ++round) {
        std::string text = round % 2 ? "QUILLMOSS-HELP 1\n" : "";
        const size_t length = random() % 200;
        for (size_t k = 0; k < length; ++k)
            text.push_back(round % 3 ? alphabet[random() % alphabet.size()] : char(random()));
        try {
            const qm::HelpDocument doc = qm::parseHelpDocument(text);
            for (const qm::HelpTopic &topic : doc.topics)
                EXPECT_TRUE(topic.number >= 0 && topic.number <= 9999);
        } catch (const qm::Error &) {
        }
    }
}

TEST(HelpDocument, ReadingNamesTheFileAndTheReason)
{
    qmtest::TempDir dir;
    const std::string missing = dir.path("Editor.hlp");
    try {
        qm::readHelpDocument(missing);
        FAIL() << "a missing file was read";
    } catch (const qm::Error &e) {
        EXPECT_EQ(std::string(e.what()), "The help file " + missing + " cannot be read: File not found");
    }
    qmtest::writeFile(dir.path("editor.hlp"), std::string("garbage\n"));
    try {
        qm::readHelpDocument(missing); // found in other letter case, but not a help document
        FAIL() << "garbage was read";
    } catch (const qm::Error &e) {
        EXPECT_EQ(std::string(e.what()), "The help file " + missing + " cannot be read: it is not a Quillmoss help "
                                                                      "document (its first line is not \"QUILLMOSS-HELP 1\")");
    }
    qmtest::writeFile(dir.path("editor.hlp"), kDocument);
    EXPECT_EQ(qm::readHelpDocument(missing).topics.size(), 3u);
}

TEST(HelpDocument, LinksLeadToTopics)
{
    EXPECT_EQ(qm::helpLinkTopic(QUrl("topic:7")), 7);
    EXPECT_EQ(qm::helpLinkTopic(QUrl("topic:0")), 0);
    EXPECT_EQ(qm::helpLinkTopic(QUrl("topic:12345")), -1);
    EXPECT_EQ(qm::helpLinkTopic(QUrl("topic:x")), -1);
    EXPECT_EQ(qm::helpLinkTopic(QUrl("topic:")), -1);
    EXPECT_EQ(qm::helpLinkTopic(QUrl("https://example.org/")), -1);
    EXPECT_EQ(qm::helpLinkTopic(QUrl("#topic:1")), -1);
}

class HelpWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qm::initStore();
        qm::gamedir = mDir.path() + "/";
        qmtest::writeFile(mDir.path("editor.hlp"), kDocument); // found as Editor.hlp
    }

    // Clicks the link whose text is given, where the user sees it.
    void clickLink(const QString &text)
    {
        QTextBrowser *browser = mWindow.browser;
        QTextCursor found = browser->document()->find(text);
        ASSERT_FALSE(found.isNull()) << text.toStdString();
        QTextCursor middle(browser->document());
        middle.setPosition(found.selectionStart() + 1);
        const QPoint at = browser->cursorRect(middle).center() + QPoint(2, 0);
        QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, at);
    }

    qmtest::TempDir mDir;
    qmtest::MessageLog mMessages;
    qm::HelpWindow mWindow;
};

TEST_F(HelpWindowTest, ContentsLinksBackAndGettingStarted)
{
    EXPECT_EQ(qm::helpFilePath(), mDir.path() + "/Editor.hlp");
    ASSERT_TRUE(qm::showHelpContents(mWindow));
    EXPECT_TRUE(mWindow.isVisible());
    EXPECT_EQ(mWindow.currentTopic(), 0);
    EXPECT_EQ(mWindow.windowTitle(), "Quillmoss Help: Contents");
    EXPECT_TRUE(mWindow.browser->toPlainText().contains("Getting Started and Keys."));
    EXPECT_FALSE(mWindow.backButton->isEnabled());

    clickLink("Keys");
    EXPECT_EQ(mWindow.currentTopic(), 7);
    EXPECT_TRUE(mWindow.browser->toPlainText().contains("Escape ends the editor."));
    EXPECT_TRUE(mWindow.backButton->isEnabled());
    click(mWindow.backButton);
    EXPECT_EQ(mWindow.currentTopic(), 0);
    EXPECT_FALSE(mWindow.backButton->isEnabled());

    // An outside link leads nowhere; a link to a missing topic says so and stays.
    clickLink("Outside");
    EXPECT_EQ(mWindow.currentTopic(), 0);
    EXPECT_TRUE(mMessages.entries.empty());
    clickLink("Gone");
    EXPECT_EQ(mWindow.currentTopic(), 0);
    EXPECT_EQ(mMessages.texts(),
              std::vector<std::string>{"The help file " + qm::helpFilePath() + " has no topic 42."});

    clickLink("Getting Started");
    EXPECT_EQ(mWindow.currentTopic(), 1);
    click(mWindow.contentsButton);
    EXPECT_EQ(mWindow.currentTopic(), 0);
    click(mWindow.backButton);
    EXPECT_EQ(mWindow.currentTopic(), 1);

    mWindow.close();
    ASSERT_TRUE(qm::showHelpGettingStarted(mWindow));
    EXPECT_TRUE(mWindow.isVisible());
    EXPECT_EQ(mWindow.currentTopic(), 1);
    EXPECT_EQ(mWindow.windowTitle(), "Quillmoss Help: Getting Started");
    EXPECT_TRUE(mWindow.browser->toPlainText().contains("First steps."));
    EXPECT_FALSE(mWindow.backButton->isEnabled()); // a command starts a fresh history
}

TEST_F(HelpWindowTest, UnreadableFilesAndMissingTopicsAreReported)
{
    std::remove(mDir.path("editor.hlp").c_str());
    EXPECT_FALSE(qm::showHelpContents(mWindow));
    EXPECT_FALSE(mWindow.isVisible());
    EXPECT_EQ(mMessages.texts(),
              std::vector<std::string>{"The help file " + qm::helpFilePath() + " cannot be read: File not found"});
    EXPECT_EQ(mMessages.entries[0].kind, qm::MessageKind::Error);

    mMessages.entries.clear();
    qmtest::writeFile(mDir.path("Editor.hlp"), std::string("QUILLMOSS-HELP 1\n@topic 5 Only\n<p>x</p>\n"));
    EXPECT_FALSE(qm::showHelpGettingStarted(mWindow));
    EXPECT_EQ(mMessages.texts(), std::vector<std::string>{"The help file " + qm::helpFilePath() + " has no topic 1."});
    EXPECT_FALSE(mWindow.isVisible());
}

TEST_F(HelpWindowTest, HostileBodiesAreShownAsText)
{
    // Invalid UTF-8, NUL characters, unclosed and deeply nested tags, a picture that must not be loaded.
    std::string body = "<p>before\xff\xfe";
    body.push_back('\0');
    body += "after</p><img src=\"/etc/passwd\"><b><i><table><tr><td>";
    for (int k = 0; k < 200; ++k)
        body += "<ul><li>";
    qmtest::writeFile(mDir.path("editor.hlp"), "QUILLMOSS-HELP 1\n@topic 0 \xff Bad\n" + body + "\n@topic 1 x\n");
    ASSERT_TRUE(qm::showHelpContents(mWindow));
    const QString text = mWindow.browser->toPlainText();
    EXPECT_TRUE(text.contains("before")) << text.left(80).toStdString();
    EXPECT_TRUE(text.contains("after"));
    EXPECT_TRUE(mMessages.entries.empty());
}

} // namespace
