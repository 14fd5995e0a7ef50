#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QTextDocument>
#include <QFileInfo>
#include <QPointer>
#include <QFrame>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>
#include <QVBoxLayout>
#include <memory>

#include "Fakes.h"
#include "HelpViewer.h"
#include "LowLevel.h"
#include "QtLowLevel.h"
#include "QtServices.h"
#include "Services.h"
#include "TextConstants.h"

using namespace LowLevel;

TEST(QtShell, OpensAddressesOnlyAndNeverAFileOrAProgram) {
    QTemporaryDir dir;
    for (const char* name : {"letter.pdf", "run.sh"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(name) == "run.sh" ? "#!/bin/sh\n" : "%PDF");
    }
    std::vector<QUrl> handed;
    QtShell shell([&](const QUrl& url) {
        handed.push_back(url);
        return true;
    });
    EXPECT_TRUE(shell.Open("https://example.org/x?a=1"));
    EXPECT_TRUE(shell.Open("mailto:someone@example.org"));
    for (std::string program : {dir.filePath("letter.pdf").toStdString(), std::string("/bin/sh"), std::string("/usr/bin/env"), std::string("xterm -e rm"),
                                dir.filePath("run.sh").toStdString(), dir.path().toStdString()})
        EXPECT_FALSE(shell.Open(program)) << program;
    ASSERT_EQ(handed.size(), 2u);
    EXPECT_EQ(handed[0], QUrl("https://example.org/x?a=1"));
    EXPECT_EQ(handed[1].scheme(), "mailto");
}

TEST(QtLowLevel, CharWidthsAreMeasuredOnFirstUseEvenWhenTheFormIsGone) {
    const CharWidthTable saved = charWidthArial, savedBold = charWidthArialBold, savedForm = charWidthForm;
    charWidthArial.fill(0);
    auto form = std::make_unique<QWidget>();
    MeasureCharWidthsOnFirstUse(form.get());
    EXPECT_EQ(charWidthArial['W'], 0) << "nothing measured before the first use";
    form.reset();
    EnsureCharWidths();
    EXPECT_GT(charWidthArial['i'], 0);
    EXPECT_GT(charWidthArial['W'], charWidthArial['i']);
    EXPECT_GE(charWidthArialBold['W'], charWidthArial['W']);
    EXPECT_EQ(charWidthArial[0x81], 0) << "a control character takes no room";
    charWidthArial = saved;
    charWidthArialBold = savedBold;
    charWidthForm = savedForm;
}

TEST(QtBusy, NestedOperationsLeaveTheOrdinaryPointerWhenTheOutermostEnds) {
    QtBusyCursor busy;
    Services::Set set = Services::Get();
    Services::Set saved = set;
    set.busyCursor = &busy;
    Services::Install(set);
    Services::ResetBusyDepth();
    Services::HourglassOn();
    Services::HourglassOn();  // a list saved while a search runs
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    Services::HourglassOff();
    EXPECT_NE(QApplication::overrideCursor(), nullptr) << "the outer operation still runs";
    Services::HourglassOff();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    Services::HourglassOff();  // one too many changes nothing
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    Services::Install(saved);
}

TEST(QtLowLevel, CaretLineAndColumnInCp1252) {
    QTextEdit box;
    box.setPlainText(QString::fromUtf8("first line\nW\xC3\xB6rter und mehr"));
    QTextCursor c = box.textCursor();
    c.setPosition(11 + 3);
    box.setTextCursor(c);
    std::string line;
    int column = -1;
    GetCaretLine(&box, line, column);
    EXPECT_EQ(line, "W\xF6rter und mehr");
    EXPECT_EQ(column, 3);
    GetCaretLine(nullptr, line, column);
    EXPECT_EQ(column, 0);
}

TEST(QtLowLevel, MarkFramesAControlInItsWindowAndOnlyThere) {
    QWidget window;
    auto* box = new QWidget(&window);  // a frame around the control: the mark is mapped through it
    box->setGeometry(20, 30, 200, 100);
    auto* button = new QPushButton("Show", box);
    button->setGeometry(10, 10, 80, 25);
    auto* shape = new MarkShape(&window);
    auto* plain = new QFrame(&window);  // a window's own marker
    window.resize(300, 200);
    window.show();
    EXPECT_FALSE(shape->isVisible());  // hidden until placed

    PlaceMarkShape(shape, button);
    EXPECT_TRUE(shape->isVisible());
    EXPECT_EQ(shape->geometry().adjusted(4, 4, -4, -4), QRect(30, 40, 80, 25));
    EXPECT_TRUE(shape->testAttribute(Qt::WA_TransparentForMouseEvents));
    HideMarkShape(shape);
    EXPECT_FALSE(shape->isVisible());
    PlaceMarkShape(shape, nullptr);  // nothing to frame
    EXPECT_FALSE(shape->isVisible());

    PlaceMarkShape(plain, button);
    EXPECT_TRUE(plain->isVisible());
    EXPECT_EQ(plain->geometry().adjusted(4, 4, -4, -4), QRect(30, 40, 80, 25));
    EXPECT_TRUE(plain->testAttribute(Qt::WA_TransparentForMouseEvents));
    HideMarkShape(nullptr);  // no shape: nothing happens
}

namespace {

class HelpTopics : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        TextConstants::textLanguage = 1;
        Write("AlphaNames.html", "<h1>Names by letter</h1><a href=\"Welcome.html\">Welcome</a> "
                                 "<a href=\"https://example.org/more\">more</a> <a href=\"../outside.html\">out</a>");
        Write("Welcome.html", "<h1>Welcome page</h1>");
        Write("index.html", "<h1>Contents of the help</h1>");
    }
    void TearDown() override { TextConstants::textLanguage = 1; }
    void Write(const QString& name, const QByteArray& body) {
        QDir().mkpath(QFileInfo(dir.filePath(name)).path());
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("<html><body>" + body + "</body></html>") > 0);
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

TEST_F(HelpTopics, AnUnknownTopicShowsTheIndexWithAPlainNote) {
    QtHelp help(dir.path());
    for (const char* topic : {"NoSuchTopic", "", "../AlphaNames", "Alpha Names", "/etc/passwd", "GLGender"}) {
        help.ShowTopic("Welcome");
        help.ShowTopic(topic);
        HelpViewer* v = help.Viewer();
        EXPECT_EQ(v->CurrentPage(), Page("index.html")) << topic;
        EXPECT_TRUE(v->NoteShown()) << topic;
        // The program's topic names are no words for its users.
        if (*topic) {
            EXPECT_FALSE(v->NoteText().contains(QString::fromLatin1(topic))) << topic;
        }
    }
    help.ShowTopic("Welcome");  // a topic with a page takes the note away
    EXPECT_FALSE(help.Viewer()->NoteShown());

    // Without an index page the viewer lists the pages there are.
    QFile::remove(dir.filePath("index.html"));
    Write("Titled.html", "<title>Names by alphabet</title>");
    help.ShowTopic("GLPop");
    EXPECT_TRUE(help.Viewer()->NoteShown());
    EXPECT_TRUE(help.Viewer()->Browser()->toPlainText().contains("AlphaNames"));
    EXPECT_TRUE(help.Viewer()->Browser()->toPlainText().contains("Names by alphabet"));
    EXPECT_FALSE(help.Viewer()->Browser()->toPlainText().contains("Titled"));

    // No help folder at all: still a window, with a note and a text.
    QtHelp none(dir.filePath("missing"));
    none.ShowTopic("Welcome");
    ASSERT_NE(none.Viewer(), nullptr);
    EXPECT_TRUE(none.Viewer()->NoteShown());
    EXPECT_TRUE(none.Viewer()->Browser()->toPlainText().contains("No help pages"));
}

// The frame's Help > Contents asks for the contents topic: it shows what
// the viewer's Contents button shows, the index page or, without one, the
// list of pages, and no note that a page is missing.
TEST_F(HelpTopics, TheContentsTopicIsTheContentsButtonsPage) {
    QtHelp help(dir.path());
    for (bool indexPage : {true, false}) {
        SCOPED_TRACE(indexPage);
        if (!indexPage) QFile::remove(dir.filePath("index.html"));
        help.ShowTopic(LowLevel::ContentsTopic());
        HelpViewer* v = help.Viewer();
        const QString byMenu = v->Browser()->toHtml();
        EXPECT_FALSE(v->NoteShown());
        EXPECT_TRUE(v->Browser()->toPlainText().contains(indexPage ? "Contents of the help" : "AlphaNames"));
        help.ShowTopic("Welcome");
        for (QPushButton* b : v->findChildren<QPushButton*>())
            if (b->text() == "Contents") b->click();
        EXPECT_EQ(v->Browser()->toHtml(), byMenu);
    }
}

TEST_F(HelpTopics, TheTextLanguagePicksTheGermanOrEnglishPages) {
    Write("de/Welcome.html", "<h1>Willkommen</h1>");
    Write("de/index.html", "<h1>Inhalt der Hilfe</h1>");
    struct Case {
        int language;
        const char* topic;
        const char* page;
        bool note;
    } cases[] = {
        {0, "Welcome", "de/Welcome.html", false}, {1, "Welcome", "Welcome.html", false},
        {0, "AlphaNames", "de/index.html", true},  // no German page: the German index
        {1, "Missing", "index.html", true},        {0, "Welcome", "de/Welcome.html", false},
    };
    QtHelp help(dir.path());
    for (const Case& c : cases) {
        TextConstants::textLanguage = c.language;
        help.ShowTopic(c.topic);
        EXPECT_EQ(help.Viewer()->CurrentPage(), Page(c.page)) << c.language << c.topic;
        EXPECT_EQ(help.Viewer()->NoteShown(), c.note) << c.language << c.topic;
    }
    TextConstants::textLanguage = 0;
    help.ShowTopic("Missing");
    EXPECT_TRUE(help.Viewer()->NoteText().startsWith("Zu diesem Thema"));
}

TEST_F(HelpTopics, PagesTakePicturesAndStyleSheetsFromTheHelpFolderOnly) {
    QTemporaryDir outside;
    QByteArray png;
    {
        QImage picture(7, 5, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
    }
    auto put = [](const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    };
    put(dir.filePath("pic.png"), png);
    put(outside.filePath("pic.png"), png);
    put(dir.filePath("big.png"), png + QByteArray(HelpViewer::kMaxResourceBytes, '\0'));
    put(dir.filePath("help.css"), "h1 { color: red; }");
    ASSERT_TRUE(QFile::link(outside.filePath("pic.png"), dir.filePath("link.png")));
    Write("de/Welcome.html", "<h1>Willkommen</h1>");
    // A page that names pipes, in the help folder and outside it, as its
    // picture and style sheet: shown and drawn at once, without them.
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("pipe.png")).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(outside.filePath("pipe")).constData(), 0600), 0);
    Write("Pipes.html", "<h1>Pipes</h1><link rel=\"stylesheet\" href=\"pipe.png\"><img src=\"pipe.png\"><img src=\"" +
                            outside.filePath("pipe").toUtf8() + "\"><img src=\"pic.png\">");
    QtHelp help(dir.path());
    help.ShowTopic("Pipes");
    QTextBrowser* browser = help.Viewer()->Browser();
    EXPECT_TRUE(browser->toPlainText().contains("Pipes"));
    EXPECT_FALSE(browser->grab().isNull());

    const struct {
        QString src;
        QSize size;  // 1 by 1: the empty picture of a refused one
    } pictures[] = {
        {"pic.png", {7, 5}},  {"/dev/zero", {1, 1}}, {outside.filePath("pic.png"), {1, 1}},
        {"link.png", {1, 1}}, {"big.png", {1, 1}},   {"../pic.png", {1, 1}},
        {"data:image/png;base64," + png.toBase64(), {1, 1}},
    };
    for (const auto& p : pictures)
        EXPECT_EQ(browser->loadResource(QTextDocument::ImageResource, QUrl(p.src)).value<QImage>().size(), p.size)
            << p.src.left(40).toStdString();
    EXPECT_EQ(browser->loadResource(QTextDocument::StyleSheetResource, QUrl("help.css")).toByteArray(),
              "h1 { color: red; }");
    EXPECT_EQ(browser->loadResource(QTextDocument::StyleSheetResource, QUrl("/dev/zero")).toByteArray(), "");
    // The German pages take the style sheet of the help folder they lie in.
    TextConstants::textLanguage = 0;
    help.ShowTopic("Welcome");
    EXPECT_EQ(help.Viewer()->Browser()->loadResource(QTextDocument::StyleSheetResource, QUrl("../help.css"))
                  .toByteArray(),
              "h1 { color: red; }");
}

// Tables in tables (time doubling per level) and thousands of levels (the
// text engine's stack) are refused with a plain note; a page nested as far
// as any sensible page is shown.
TEST_F(HelpTopics, APageNestedTooDeeplyIsRefusedWithANote) {
    auto nested = [](const QByteArray& open, const QByteArray& close, int depth) {
        return open.repeated(depth) + "core" + close.repeated(depth);
    };
    const struct {
        const char* what;
        QByteArray body;
        bool shown;
    } cases[] = {
        {"tables 8 deep", nested("<table><tr><td>", "</td></tr></table>", 8), true},
        {"tables 20 deep", nested("<table><tr><td>", "</td></tr></table>", 20), false},
        {"tables 20 deep, never closed", nested("<TABLE border=1><tr><td>", "", 20), false},
        {"lists 60 deep, items unclosed", nested("<ul><li>", "</ul>", 60) + "<!-- <div><div> -->", true},
        {"divisions 3000 deep", nested("<div>", "</div>", 3000), false},
    };
    QtHelp help(dir.path());
    for (const auto& c : cases) {
        Write("Deep.html", c.body);
        help.ShowTopic("Welcome");
        help.ShowTopic("Deep");
        EXPECT_EQ(help.Viewer()->Browser()->toPlainText().contains("core"), c.shown) << c.what;
        EXPECT_EQ(help.Viewer()->Browser()->toPlainText().contains("cannot be shown"), !c.shown) << c.what;
    }
}

TEST_F(HelpTopics, TheViewerStaysUsableAboveAModalWindowAndOutlivesIt) {
    QtHelp help(dir.path());
    help.ShowTopic("Welcome");  // open before, from the frame
    QPointer<HelpViewer> viewer = help.Viewer();
    auto* modal = new QDialog;
    modal->setWindowModality(Qt::ApplicationModal);
    modal->show();
    ASSERT_EQ(QApplication::activeModalWidget(), modal);

    // Help asked for from the modal window: the viewer is that window's own
    // (so the modal window does not block it) and in front, on the new page.
    help.ShowTopic("AlphaNames");
    EXPECT_EQ(help.Viewer(), viewer.data());
    EXPECT_EQ(help.Viewer()->parentWidget(), modal);
    EXPECT_TRUE(help.Viewer()->isWindow());
    EXPECT_TRUE(help.Viewer()->isVisible());
    EXPECT_EQ(help.Viewer()->CurrentPage(), Page("AlphaNames.html"));

    // A message over the modal window: the viewer follows it, and goes back
    // above the first one when the message closes.
    auto* message = new QDialog(modal);
    message->setWindowModality(Qt::ApplicationModal);
    message->show();
    help.ShowTopic("Welcome");
    EXPECT_EQ(help.Viewer()->parentWidget(), message);
    message->hide();
    EXPECT_EQ(help.Viewer()->parentWidget(), modal);
    EXPECT_TRUE(help.Viewer()->isVisible());

    // The modal window closes and goes: the viewer stays open on its own.
    modal->hide();
    delete modal;
    ASSERT_FALSE(viewer.isNull());
    EXPECT_EQ(viewer->parentWidget(), nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->CurrentPage(), Page("Welcome.html"));
}

// Back and Forward by keyboard: the one that turns gray under the keyboard
// hands it to the next button, never into the page.
TEST_F(HelpTopics, AButtonTurningGrayPassesTheKeyboardToTheNextButton) {
    QtHelp help(dir.path());
    help.ShowTopic("AlphaNames");
    help.ShowTopic("Welcome");
    HelpViewer* v = help.Viewer();
    QApplication::setActiveWindow(v);
    auto button = [v](const char* caption) {
        for (QPushButton* b : v->findChildren<QPushButton*>())
            if (b->text() == caption) return b;
        return static_cast<QPushButton*>(nullptr);
    };
    button("Back")->setFocus();
    QTest::keyClick(button("Back"), Qt::Key_Space);
    EXPECT_EQ(v->CurrentPage(), Page("AlphaNames.html"));
    EXPECT_EQ(QApplication::focusWidget(), button("Forward"));
    QTest::keyClick(button("Forward"), Qt::Key_Return);
    EXPECT_EQ(v->CurrentPage(), Page("Welcome.html"));
    EXPECT_EQ(QApplication::focusWidget(), button("Contents"));
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
