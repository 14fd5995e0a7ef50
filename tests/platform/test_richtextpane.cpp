// The rich-text pane: the RTF reader, the hand pointer and the link clicks
// that reach the owner window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <functional>
#include <memory>
#include <random>

#include "RichTextPane.h"
#include "RtfReader.h"
#include "GoldenRtf.h"
#include "TextDisplay.h"

namespace {

using golden::kGreen;
using golden::kRed;

struct RecordingOwner : LinkOwner {
    void Notify(int16_t code, const std::string& text) override { got.push_back({code, text}); }
    std::vector<std::pair<int16_t, std::string>> got;
};


struct TextRun {
    QString text;
    QTextCharFormat format;
};

std::vector<TextRun> Runs(const QTextBlock& block) {
    std::vector<TextRun> runs;
    for (auto it = block.begin(); !it.atEnd(); ++it) runs.push_back({it.fragment().text(), it.fragment().charFormat()});
    return runs;
}

class RichTextPaneTest : public testing::Test {
protected:
    void SetUp() override {
        saved_ = TextDisplay::Env();
        TextDisplay::Env() = {};
    }
    void TearDown() override { TextDisplay::Env() = saved_; }

    // A shown pane fed by a builder that reports to owner.
    void MakePane() {
        pane = std::make_unique<RichTextPane>();
        pane->resize(500, 300);
        pane->show();
        td = std::make_unique<TextDisplay>();
        td->Init("Pane", pane.get(), &owner);
    }

    // One paragraph made by `body`, shown in the pane.
    void ShowPara(const std::function<void()>& body) {
        td->BeginText();
        td->BeginPara();
        body();
        td->EndPara();
        td->EndText();
        td->DisplayText();
    }
    QPoint CentreOf(int position) const { return pane->CharRect(position).center(); }
    int Find(const QString& what) const { return pane->document()->toRawText().indexOf(what); }

    void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, at, pane->viewport()->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(pane->viewport(), &e);
    }
    void Click(QPoint at) {
        Send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        Send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }
    Qt::CursorShape HoverShape(QPoint at) {
        Send(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
        return pane->viewport()->cursor().shape();
    }

    TextDisplay::Environment saved_;
    RecordingOwner owner;
    std::unique_ptr<QWidget> window;  // goes after the pane in it
    std::unique_ptr<RichTextPane> pane;
    std::unique_ptr<TextDisplay> td;
};

TEST_F(RichTextPaneTest, ReaderTurnsTheGoldenDocumentIntoBlocksAndFormats) {
    QTextDocument doc;
    RtfReader::Read(golden::Document(), doc);
    ASSERT_EQ(doc.blockCount(), 3);
    QTextBlock first = doc.firstBlock();
    QTextBlock second = first.next();
    EXPECT_EQ(first.text(), QString::fromUtf8("Name\ta\\b {c} Ré"));
    EXPECT_EQ(second.text(), QString::fromUtf8("O'Brien\u00A0Anna, Zoë"));
    EXPECT_EQ(second.next().text(), QString());

    QTextBlockFormat para = first.blockFormat();
    EXPECT_NEAR(para.leftMargin(), 2778 / 15.0, 1e-6);
    EXPECT_NEAR(para.textIndent(), -2778 / 15.0, 1e-6);
    ASSERT_EQ(para.tabPositions().size(), 1);
    EXPECT_NEAR(para.tabPositions()[0].position, 2778 / 15.0, 1e-6);

    std::vector<TextRun> runs = Runs(first);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].text, "Name");
    EXPECT_EQ(runs[0].format.fontWeight(), QFont::Bold);
    EXPECT_EQ(runs[0].format.fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_DOUBLE_EQ(runs[0].format.fontPointSize(), 9.0);
    EXPECT_EQ(runs[1].format.fontWeight(), QFont::Normal);

    runs = Runs(second);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].text, QString::fromUtf8("O'Brien\u00A0Anna"));
    EXPECT_EQ(runs[0].format.property(RtfReader::kLinkNumber).toString(), "17");
    EXPECT_TRUE(runs[0].format.fontUnderline());
    EXPECT_EQ(runs[0].format.foreground().color(), QColor(255, 0, 0));
    EXPECT_FALSE(runs[1].format.fontUnderline());
    EXPECT_EQ(runs[2].text, QString::fromUtf8("Zoë"));
    EXPECT_EQ(runs[2].format.property(RtfReader::kLinkNumber).toString(), "4711");
    EXPECT_EQ(runs[2].format.foreground().color(), QColor(0, 128, 0));
    EXPECT_EQ(runs[2].format.background().color(), QColor(192, 192, 192));
    for (int i = 0; i < 12; ++i) EXPECT_EQ(RtfReader::LinkNumberAt(doc, second.position() + i), "17") << i;
}

TEST_F(RichTextPaneTest, ReaderHandlesWordProcessorRtfAndSkipsWhatItDoesNotKnow) {
    struct Case {
        const char* what;
        std::string rtf;
        QString text;
    };
    const Case cases[] = {
        {"ignorable and known destinations",
         R"({\rtf1{\*\generator Writer;}{\stylesheet{\s0 Normal;}}{\info{\title T}}Hello\par})", "Hello"},
        {"unknown group with nesting", R"({\rtf1 a{\*\unknown {deep {deeper}} x}b\par})", "ab"},
        {"unknown control words", R"({\rtf1 \foo123 \bar-5 a\zzz b})", "ab"},
        {"unicode with fallback", R"({\rtf1 a\u8364?b\uc2\u-3913 xyc})", QString::fromUtf8("a€b\uF0B7c")},
        {"bytes as cp1252", R"({\rtf1 \'80\'9f\'e4\'41})", QString::fromUtf8("€Ÿä") + "A"},
        {"raw tab and control tab", "{\\rtf1 a\tb\\tab c}", "a\tb\tc"},
        {"field result kept", R"({\rtf1 {\field{\*\fldinst HYPERLINK "x"}{\fldrslt shown}}})", "shown"},
        {"stray braces", "}}{\\rtf1 a}}}b", "ab"},
        {"truncated escape", "{\\rtf1 a\\'e", "a"},
        {"trailing backslash", "{\\rtf1 a\\", "a"},
        {"marker without link is hidden", R"({\rtf1 a\fs0 #12\fs18 b})", "ab"},
        {"binary data skipped", std::string("{\\rtf1 a{\\*\\blipuid {\\bin3 }{\\}b}c}"), "ac"},
        {"deep nesting is skipped", std::string(100000, '{') + "x" + std::string(100000, '}') + "y", "y"},
    };
    for (const Case& c : cases) {
        QTextDocument doc;
        RtfReader::Read(c.rtf, doc);
        EXPECT_EQ(doc.toPlainText(), c.text) << c.what;
    }

    // Any input at all: what can be read is shown, nothing breaks.
    std::mt19937 random(20240611);
    const std::string pieces[] = {"{", "}", "\\", "\\'", "\\u", "\\fs0 #", "\\ul ", "\\par ", "\\tx",
                                  "\\*", "\\fonttbl", "\\colortbl", "\\red", ";", "9", "-", "a", " ", "\\bin"};
    for (int round = 0; round < 300; ++round) {
        std::string rtf;
        for (int k = 0; k < 60; ++k) rtf += pieces[random() % std::size(pieces)];
        QTextDocument any;
        RtfReader::Read(rtf, any);
    }
}

// Distances of millions of pixels send the layout into an endless loop: a
// damaged file's indents, spacing and tab stops stay within a page of 22 in.
TEST_F(RichTextPaneTest, ReaderKeepsParagraphDistancesWithinAPage) {
    QTextDocument doc;
    RtfReader::Read(R"({\rtf1\sb327799999\sa-999999999\li99999999\ri-99999\fi-99999999\tx999999999 a\tab b\par})", doc);
    const QTextBlockFormat f = doc.begin().blockFormat();
    const double page = 31680 / 15.0;
    EXPECT_EQ(f.topMargin(), page);
    EXPECT_EQ(f.bottomMargin(), -page);
    EXPECT_EQ(f.leftMargin(), page);
    EXPECT_EQ(f.rightMargin(), -page);
    EXPECT_EQ(f.textIndent(), -page);
    ASSERT_EQ(f.tabPositions().size(), 1);
    EXPECT_EQ(f.tabPositions()[0].position, page);
    ASSERT_FALSE(HasFailure());  // with the distances above the layout never returns
    doc.setTextWidth(400);
    EXPECT_GT(doc.size().height(), 0);
}

TEST_F(RichTextPaneTest, EveryCharacterOfALinkFollowsItsOwnAtom) {
    MakePane();
    ShowPara([&] {
        td->AddStr("See ");
        td->AddNumLink("O'Brien, \xC6sa \xDF\x8C\x8A", 17, kRed, kNoBackColour);
        td->AddStr("1 and ");  // a digit right after a link
        td->AddNumLink("Bert", 18, kGreen, kNoBackColour);
    });

    const QString link = QString::fromUtf8("O'Brien,\u00A0Æsa\u00A0ßŒŠ");
    int start = Find(link);
    ASSERT_GE(start, 0);
    for (int i = 0; i < link.size(); ++i) {
        owner.got.clear();
        Click(CentreOf(start + i));
        EXPECT_EQ(owner.got, (decltype(owner.got){{0, "17"}})) << "character " << i;
    }
    owner.got.clear();
    Click(CentreOf(start + link.size()));  // the digit after the link
    Click(CentreOf(Find("and")));
    EXPECT_TRUE(owner.got.empty());
    Click(CentreOf(Find("Bert") + 3));
    EXPECT_EQ(owner.got, (decltype(owner.got){{0, "18"}}));
    // Pressed on one link, released on another: nothing.
    owner.got.clear();
    Send(QEvent::MouseButtonPress, CentreOf(start), Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, CentreOf(Find("Bert")), Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(owner.got.empty());

    // Inactive, without links or while input is blocked: nothing.
    owner.got.clear();
    int apostrophe = start + 1;
    td->setActive(false);
    Click(CentreOf(apostrophe));
    td->setActive(true);
    td->setWithLinks(false);
    Click(CentreOf(apostrophe));
    td->setWithLinks(true);
    TextDisplay::Env().actionBlocked = [] { return true; };
    Click(CentreOf(apostrophe));
    EXPECT_TRUE(owner.got.empty());
    TextDisplay::Env().actionBlocked = nullptr;
    Click(CentreOf(apostrophe));
    EXPECT_EQ(owner.got, (decltype(owner.got){{0, "17"}}));
}

TEST_F(RichTextPaneTest, HoverOverALinkShowsTheHand) {
    MakePane();
    ShowPara([&] {
        td->AddStr("Plain ");
        td->AddNumLink("O'Brien", 17, kRed, kNoBackColour);
    });
    QPoint onLink = CentreOf(Find("'"));
    QPoint onPlain = CentreOf(Find("Plain"));
    EXPECT_EQ(HoverShape(onLink), Qt::PointingHandCursor);
    EXPECT_EQ(HoverShape(onPlain), Qt::ArrowCursor);
    EXPECT_EQ(HoverShape(onLink), Qt::PointingHandCursor);
    EXPECT_EQ(HoverShape(QPoint(onPlain.x(), 250)), Qt::ArrowCursor);  // below the text
    td->setActive(false);
    EXPECT_EQ(HoverShape(onLink), Qt::ArrowCursor);
}

TEST_F(RichTextPaneTest, PaneAndBuilderMayGoInEitherOrder) {
    MakePane();
    pane.reset();
    EXPECT_EQ(td->box(), nullptr);
    td->Resize(100, 100);
    td->DisplayText();
    td.reset();

    MakePane();
    td.reset();
    EXPECT_EQ(pane->events(), nullptr);
    Click(QPoint(5, 5));

    // A second builder takes the pane over: the first lets go of it, and
    // its end leaves the second one bound.
    auto first = std::make_unique<TextDisplay>();
    auto second = std::make_unique<TextDisplay>();
    first->Init("First", pane.get(), &owner);
    second->Init("Second", pane.get(), &owner);
    EXPECT_EQ(first->box(), nullptr);
    EXPECT_EQ(second->box(), pane.get());
    first.reset();
    EXPECT_EQ(pane->events(), second.get());
    pane.reset();
    EXPECT_EQ(second->box(), nullptr);
}

}  // namespace

namespace {

// A new text is shown from its beginning, wherever the reader had scrolled
// the one before (a long description in a small pane opened at its end).
TEST_F(RichTextPaneTest, ANewTextIsShownFromItsBeginning) {
    MakePane();
    pane->resize(300, 80);
    auto longText = [&](const char* word) {
        ShowPara([&] {
            for (int i = 0; i < 60; ++i) td->AddStr(std::string(word) + " " + std::to_string(i) + " ");
        });
        QCoreApplication::processEvents();
    };
    longText("first");
    ASSERT_GT(pane->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(pane->verticalScrollBar()->value(), 0);
    pane->verticalScrollBar()->setValue(pane->verticalScrollBar()->maximum());
    longText("second");
    EXPECT_EQ(pane->verticalScrollBar()->value(), 0);
    EXPECT_EQ(pane->textCursor().position(), 0);
}

}  // namespace

namespace {

// By keyboard: Tab comes into the pane at its first link and goes from link
// to link, the focused one shown selected, then out past the last; Shift+Tab
// the other way round; Enter follows the focused link as a click does. A
// pane with nothing to follow shows its frame while it has the focus.
TEST_F(RichTextPaneTest, TabGoesFromLinkToLinkAndEnterFollowsIt) {
    window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window.get());
    auto* before = new QLineEdit;
    auto* after = new QLineEdit;
    MakePane();
    for (QWidget* w : std::initializer_list<QWidget*>{before, pane.get(), after}) layout->addWidget(w);
    ShowPara([&] {
        td->AddNumLink("Anna", 17, kRed, kNoBackColour);
        td->AddStr(" and ");
        td->AddNumLink("Bert Carl", 18, kGreen, kNoBackColour);
    });
    window->show();
    QApplication::setActiveWindow(window.get());
    before->setFocus();
    auto key = [](Qt::KeyboardModifiers modifiers = Qt::NoModifier, Qt::Key k = Qt::Key_Tab) {
        QTest::keyClick(QApplication::focusWidget(), k, modifiers);
        return QApplication::focusWidget();
    };
    auto focused = [&] { return pane->FocusedLink().number + ":" + pane->textCursor().selectedText(); };
    const QString bert = QString::fromUtf8("18:Bert\u00A0Carl");

    ASSERT_EQ(key(), pane.get());
    EXPECT_EQ(focused(), "17:Anna");
    key(Qt::NoModifier, Qt::Key_Return);
    EXPECT_EQ(owner.got, (decltype(owner.got){{0, "17"}}));
    key();
    EXPECT_EQ(focused(), bert);
    EXPECT_EQ(key(), after);
    EXPECT_EQ(focused(), ":") << "no mark left behind";
    EXPECT_EQ(key(Qt::ShiftModifier), pane.get());
    EXPECT_EQ(focused(), bert);
    EXPECT_FALSE(pane->FocusFrameShown());
    key(Qt::ShiftModifier);
    EXPECT_EQ(key(Qt::ShiftModifier), before);

    ShowPara([&] { td->AddStr("Nothing to follow."); });
    ASSERT_EQ(key(), pane.get());
    EXPECT_TRUE(pane->FocusFrameShown());
    EXPECT_EQ(key(), after);
    EXPECT_FALSE(pane->FocusFrameShown());
}

}  // namespace
