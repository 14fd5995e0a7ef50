// The program's help as a user meets it: a page in both languages for every
// topic the program can ask for, and F1 in the window the user works in.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextBrowser>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <set>

#include "DataBase.h"
#include "Fakes.h"
#include "FormControls.h"
#include "GenMsg.h"
#include "GenMsgForm.h"
#include "HelpViewer.h"
#include "KFrame.h"
#include "LowLevel.h"
#include "OptionEntry.h"
#include "ProgramFixture.h"
#include "Options.h"
#include "Startup.h"
#include "TextConstants.h"
#include "WinMan.h"

namespace {

// The help folder the build copies next to the program.
QString HelpSource() { return QString::fromUtf8(SOURCE_DIR) + "/data/help"; }

// F1 pressed with the keyboard in widget; the topics it asked for.
std::vector<std::string> F1(QWidget* widget) {
    Fakes().help.topics.clear();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    return Fakes().help.topics;
}

class ProgramHelp : public RunningProgram {
protected:
    void SetUp() override {
        RunningProgram::SetUp();
        Fakes().help.topics.clear();
    }
    void Start() { StartProgram("/x/talvessin"); }
};

// Every topic the running program can ask the help for: each window it has
// (the frame, the welcome window, About, and every window of the name table,
// so a window added later without its page fails here), each heading mark of
// the descriptions, each message's tag.
TEST_F(ProgramHelp, EveryTopicHasAPageInBothLanguages) {
    Start();
    std::set<std::string> topics{"KFrame", "Welcome", "About", "index"};
    for (const std::string& name : Auto::AvailableNames()) topics.insert(name);
    for (const char* built : {"SingleName", "Similar", "NameLists", "ShortHelp", "OptionEntry", "Feedback"})
        EXPECT_TRUE(topics.count(built)) << built;
    for (long id = LowLevel::kFirstHelpMark; id <= LowLevel::kLastHelpMark; ++id)
        topics.insert(LowLevel::DescrHelpTopic(id));
    int tags = 0;
    for (int id = 0; id < GenMsg::kNumMessages; ++id)
        for (bool english : {false, true}) {
            std::string entry = GenMsg::Entry(id, english);
            std::size_t end = entry.find('>');
            if (entry.empty() || entry[0] != '<' || end == std::string::npos) continue;
            tags += topics.insert(entry.substr(1, end - 1)).second ? 1 : 0;
        }
    EXPECT_GE(tags, 28);

    for (const std::string& topic : topics)
        for (const char* folder : {"", "/de"}) {
            QString page = HelpSource() + folder + "/" + QString::fromStdString(topic) + ".html";
            EXPECT_TRUE(QFileInfo(page).isFile()) << "no page " << page.toStdString();
        }
}

// Each language's index lists every page of its folder, no page of the
// help links to a page that is not there, and every page wears the shared
// style sheet (a German page must reach it one folder up).
TEST(HelpPages, TheIndexListsEveryPageAndEveryLinkArrives) {
    static const QRegularExpression href(QStringLiteral("href=\"([^\"#:]+)(#[^\"]*)?\""));
    for (const char* folder : {"", "/de"}) {
        QDir dir(HelpSource() + folder);
        QStringList pages = dir.entryList({"*.html"}, QDir::Files);
        ASSERT_GT(pages.size(), 50) << folder;
        QSet<QString> listed;
        for (const QString& page : pages) {
            QFile f(dir.filePath(page));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            QString html = QString::fromUtf8(f.readAll());
            EXPECT_TRUE(html.contains("<title>")) << folder << page.toStdString();
            EXPECT_TRUE(html.contains("help.css\"")) << page.toStdString() << " has no style sheet in help" << folder;
            for (auto it = href.globalMatch(html); it.hasNext();) {
                QString target = it.next().captured(1);
                EXPECT_TRUE(QFileInfo(dir.filePath(target)).isFile())
                    << page.toStdString() << " links to " << target.toStdString() << " in help" << folder;
                if (page == "index.html" && !target.endsWith(".css")) listed.insert(QFileInfo(target).fileName());
            }
        }
        for (const QString& page : pages)
            if (page != "index.html") {
                EXPECT_TRUE(listed.contains(page)) << "index" << folder << " lacks " << page.toStdString();
            }
    }
}

// F1 gives the help of the window that has the keyboard, as its Help button
// does; the frame gives the help of its active child window.
TEST_F(ProgramHelp, F1OpensTheHelpOfTheActiveWindow) {
    Start();
    WinMan::OpenForm("SingleName");
    FormBase* single = Auto::GetForm("SingleName");
    ASSERT_TRUE(single && single->IsLoaded());
    QWidget* control = single->Controls().front().widget;
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(F1(control), std::vector<std::string>{"SingleName"});
    FormBase::MdiArea()->setActiveSubWindow(single->SubWindow());
    EXPECT_EQ(F1(program->Frame()->Host()), std::vector<std::string>{"SingleName"});

    // Its Help button asks for the same page.
    Fakes().help.topics.clear();
    auto* help = single->ControlAs<CommandButton>("ShowHelp");
    ASSERT_NE(help, nullptr);
    help->Press();
    EXPECT_EQ(Fakes().help.topics, std::vector<std::string>{"SingleName"});

    // A modal window: its own page, whatever is active in the frame.
    auto* options = static_cast<OptionEntry*>(Auto::GetForm("OptionEntry"));
    options->Load();
    options->Host()->show();  // shown without its modal loop
    EXPECT_EQ(F1(options->ShowToolTips()), std::vector<std::string>{"OptionEntry"});
    options->Unload();

    // The frame alone: its own page.
    for (FormBase* f : std::vector<FormBase*>(FormBase::LoadedForms()))
        if (f->kind() == FormBase::Kind::MdiChild) f->Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(F1(program->Frame()->Host()), std::vector<std::string>{"KFrame"});
}

TEST(HelpKey, TheMessageWindowGivesItsTagAndTheHelpViewerNothing) {
    TextConstants::textLanguage = 1;
    LowLevel::HelpKey key;
    GenMsgForm msg;
    msg.Prepare(GenMsg::Compose(GenMsg::Entry(GenMsg::GMdiskFull, true), GenMsg::GMdiskFull, 0, "a.onl", 0, true)
                    .message);
    EXPECT_EQ(F1(msg.findChild<QPushButton*>("DoOk")), std::vector<std::string>{"GMdiskFull"});
    msg.Prepare(GenMsg::Compose("plain", 5, 0, "", 0, true).message);
    EXPECT_TRUE(F1(msg.findChild<QPushButton*>("DoOk")).empty());

    LowLevel::HelpViewer viewer(HelpSource());
    EXPECT_TRUE(F1(viewer.Browser()).empty());
    // Other keys pass.
    Fakes().help.topics.clear();
    QKeyEvent f2(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier);
    QApplication::sendEvent(msg.findChild<QPushButton*>("DoOk"), &f2);
    EXPECT_TRUE(Fakes().help.topics.empty());
}

}  // namespace
