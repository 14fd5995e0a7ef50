#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QWidget>

#include "Fakes.h"
#include "HelpViewer.h"
#include "QtLowLevel.h"
#include "TextConstants.h"

using LowLevel::HelpViewer;
using LowLevel::QtHelp;

namespace {

class HelpTopics : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Write("AlphaNames.html", "<h1>Names by letter</h1><a href=\"Welcome.html\">Welcome</a> "
                                 "<a href=\"https://example.org/more\">more</a> <a href=\"../outside.html\">out</a>");
        Write("Welcome.html", "<h1>Welcome page</h1>");
        Write("index.html", "<h1>Contents of the help</h1>");
    }
    void Write(const QString& name, const QByteArray& body) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<html><body>" + body + "</body></html>");
    }
    QUrl Page(const QString& name) const { return QUrl::fromLocalFile(dir.filePath(name)); }

    QTemporaryDir dir;
};

}  // namespace

TEST_F(HelpTopics, ATopicOpensItsPage) {
    QtHelp help(dir.path());
    help.ShowTopic("AlphaNames");
    HelpViewer* v = help.Viewer();
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(v->CurrentPage(), Page("AlphaNames.html"));
    EXPECT_FALSE(v->NoteShown());
    EXPECT_TRUE(v->Browser()->toPlainText().contains("Names by letter"));

    // A link to another page of the help follows; an address goes to the
    // shell; a page outside the help folder is not opened.
    emit v->Browser()->anchorClicked(QUrl("Welcome.html"));
    EXPECT_EQ(v->CurrentPage(), Page("Welcome.html"));
    help.ShowTopic("alphanames");  // another case of the same page name
    EXPECT_EQ(v->CurrentPage(), Page("AlphaNames.html"));
    emit v->Browser()->anchorClicked(QUrl("https://example.org/more"));
    EXPECT_EQ(Fakes().shell.opened, std::vector<std::string>{"https://example.org/more"});
    emit v->Browser()->anchorClicked(QUrl("../outside.html"));
    EXPECT_EQ(v->CurrentPage(), Page("AlphaNames.html"));
}

TEST_F(HelpTopics, AnUnknownTopicShowsTheIndexWithANote) {
    TextConstants::textLanguage = 1;
    QtHelp help(dir.path());
    for (const char* topic : {"NoSuchTopic", "", "../AlphaNames", "Alpha Names", "/etc/passwd"}) {
        help.ShowTopic("Welcome");
        help.ShowTopic(topic);
        HelpViewer* v = help.Viewer();
        EXPECT_EQ(v->CurrentPage(), Page("index.html")) << topic;
        EXPECT_TRUE(v->NoteShown()) << topic;
        EXPECT_TRUE(v->NoteText().contains(QString::fromLatin1(topic))) << topic;
    }
    help.ShowTopic("Welcome");  // a topic with a page takes the note away
    EXPECT_FALSE(help.Viewer()->NoteShown());

    // Without an index page the viewer lists the pages there are.
    QFile::remove(dir.filePath("index.html"));
    help.ShowTopic("GLPop");
    HelpViewer* v = help.Viewer();
    EXPECT_TRUE(v->NoteText().contains("GLPop"));
    EXPECT_TRUE(v->Browser()->toPlainText().contains("AlphaNames"));
    emit v->Browser()->anchorClicked(QUrl("Welcome.html"));
    EXPECT_EQ(v->CurrentPage(), Page("Welcome.html"));

    // No help folder at all: still a window, with a note and a text.
    QtHelp none(dir.filePath("missing"));
    none.ShowTopic("Welcome");
    ASSERT_NE(none.Viewer(), nullptr);
    EXPECT_TRUE(none.Viewer()->NoteShown());
    EXPECT_TRUE(none.Viewer()->Browser()->toPlainText().contains("No help pages"));
}

TEST(HelpByWindow, TopicIsWindowAndControlName) {
    QWidget form;
    form.setObjectName("Alpha");
    QWidget names(&form);
    names.setObjectName("Names");
    LowLevel::ShowFormHelp(&form, &names);
    LowLevel::ShowFormHelp(&form, nullptr);
    EXPECT_EQ(Fakes().help.topics, (std::vector<std::string>{"AlphaNames", "Alpha"}));
}
