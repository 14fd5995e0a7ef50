#include <gtest/gtest.h>

#include <QTextBrowser>
#include <QWidget>

#include "Fakes.h"
#include "HelpViewer.h"
#include "HelperTestApp.h"
#include "QtLowLevel.h"
#include "TextConstants.h"

using LowLevel::HelpViewer;
using LowLevel::QtHelp;

namespace {

class HelpTopics : public testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        ASSERT_TRUE(dir.isValid());
        WriteTextFile(dir.filePath("AlphaNames.html"),
                      "<html><body><h1>Names by letter</h1><a href=\"Welcome.html\">Welcome</a> "
                      "<a href=\"https://example.org/more\">more</a> <a href=\"../outside.html\">out</a>"
                      "</body></html>");
        WriteTextFile(dir.filePath("Welcome.html"), "<html><body><h1>Welcome page</h1></body></html>");
        WriteTextFile(dir.filePath("index.html"), "<html><body><h1>Contents of the help</h1></body></html>");
    }
    QUrl Page(const QString& name) const { return QUrl::fromLocalFile(dir.filePath(name)); }

    QTemporaryDir dir;
};

}  // namespace

TEST_F(HelpTopics, ATopicOpensItsPage) {
    QtHelp help(dir.path());
    EXPECT_EQ(help.Viewer(), nullptr);
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
    const char* unknown[] = {"NoSuchTopic", "", "../AlphaNames", "Alpha Names", "/etc/passwd"};
    for (const char* topic : unknown) {
        help.ShowTopic("Welcome");
        help.ShowTopic(topic);
        HelpViewer* v = help.Viewer();
        EXPECT_EQ(v->CurrentPage(), Page("index.html")) << topic;
        EXPECT_TRUE(v->NoteShown()) << topic;
        if (*topic) {
            EXPECT_TRUE(v->NoteText().contains(QString::fromLatin1(topic))) << topic;
        }
    }
    // The next topic that has a page takes the note away.
    help.ShowTopic("Welcome");
    EXPECT_FALSE(help.Viewer()->NoteShown());

    // Without an index page the viewer lists the pages there are.
    QFile::remove(dir.filePath("index.html"));
    help.ShowTopic("GLPop");
    HelpViewer* v = help.Viewer();
    EXPECT_TRUE(v->NoteShown());
    EXPECT_TRUE(v->NoteText().contains("GLPop"));
    QString listed = v->Browser()->toPlainText();
    EXPECT_TRUE(listed.contains("AlphaNames"));
    EXPECT_TRUE(listed.contains("Welcome"));
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
    EnsureQtApp();
    QWidget form;
    form.setObjectName("Alpha");
    QWidget names(&form);
    names.setObjectName("Names");
    LowLevel::ShowFormHelp(&form, &names);
    LowLevel::ShowFormHelp(&form, nullptr);
    EXPECT_EQ(Fakes().help.topics, (std::vector<std::string>{"AlphaNames", "Alpha"}));
}
