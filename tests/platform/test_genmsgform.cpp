#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QTest>
#include <cerrno>

#include "Fakes.h"
#include "FileOp.h"
#include "FocusMark.h"
#include "GenMsg.h"
#include "GenMsgForm.h"
#include "QtServices.h"
#include "TextConstants.h"

namespace {

// The text box's contents as (text, bold) fragments.
std::vector<std::pair<QString, bool>> Fragments(QTextEdit* edit) {
    std::vector<std::pair<QString, bool>> out;
    for (QTextBlock b = edit->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            out.emplace_back(it.fragment().text(), it.fragment().charFormat().fontWeight() >= QFont::Bold);
    return out;
}

struct Form {
    GenMsgForm form;
    QPushButton* Button(const char* name) { return form.findChild<QPushButton*>(name); }
    QTextEdit* Text() { return form.findChild<QTextEdit*>("MsgText"); }
    std::vector<bool> Visible() {
        std::vector<bool> v;
        for (const char* n : {"AnswerYes", "AnswerNo", "DoHelp1", "DoOk", "DoHelp0"}) v.push_back(!Button(n)->isHidden());
        return v;
    }
};

}  // namespace

TEST(GenMsgForm, AQuestionHasYesNoHelpWithNoPreferred) {
    TextConstants::textLanguage = 1;
    Form f;
    auto c = GenMsg::Compose(GenMsg::Entry(23, true), 23, 2, "/home/u/<b>x</b>.onl", 61, true);
    f.form.Prepare(c.message);
    EXPECT_EQ(f.Visible(), (std::vector<bool>{true, true, true, false, false}));
    EXPECT_TRUE(f.Button("AnswerNo")->isDefault());
    EXPECT_EQ(f.form.IconKey(), "Question");
    EXPECT_FALSE(f.form.findChild<QLabel*>("MsgClass")->pixmap().isNull());
    EXPECT_EQ(f.form.windowTitle(), "Talvessin");
    auto frags = Fragments(f.Text());
    ASSERT_GE(frags.size(), 2u);
    EXPECT_EQ(frags[0], std::make_pair(QString("File "), false));
    EXPECT_EQ(frags[1], std::make_pair(QString("/home/u/<b>x</b>.onl"), true));  // shown literally
    EXPECT_FALSE(frags.back().second);

    f.Button("AnswerYes")->click();
    EXPECT_TRUE(f.form.Answer);
    f.form.Prepare(c.message);
    EXPECT_FALSE(f.form.Answer);  // every question starts with No
}

TEST(GenMsgForm, AnInformationHasOkAndHelpAndRendersItsMarkup) {
    Form f;  // German
    std::vector<std::string> topics;
    f.form.helpHandler = [&](const std::string& t) { topics.push_back(t); };
    f.form.Prepare(GenMsg::Compose(GenMsg::Entry(100, false), 100, 3, "", 0, false).message);
    EXPECT_EQ(f.Visible(), (std::vector<bool>{false, false, false, true, true}));
    EXPECT_TRUE(f.Button("DoOk")->isDefault());
    EXPECT_EQ(f.form.IconKey(), "Info");
    EXPECT_EQ(f.form.windowTitle(), "Orsabrine");
    auto frags = Fragments(f.Text());
    ASSERT_GE(frags.size(), 3u);
    EXPECT_EQ(frags[0], std::make_pair(QString("Momentane Favoritenliste "), false));
    EXPECT_EQ(frags[1], std::make_pair(QString::fromUtf8("überschreiben"), true));
    EXPECT_FALSE(frags[2].second);
    f.Button("DoHelp0")->click();
    EXPECT_EQ(topics, std::vector<std::string>{"GMoverwriteFav"});

    // A message without a tag shows no Help button, as a message or as a
    // question; the buttons left stay centred under the text.
    f.form.Prepare(GenMsg::Compose("plain", 5, 0, "", 0, false).message);
    EXPECT_EQ(f.Visible(), (std::vector<bool>{false, false, false, true, false}));
    EXPECT_EQ(f.form.IconKey(), "Critical");
    EXPECT_NEAR(f.Button("DoOk")->geometry().center().x(), f.form.width() / 2, 2);
    f.form.Prepare(GenMsg::Compose("plain?", 5, 2, "", 0, false).message);
    EXPECT_EQ(f.Visible(), (std::vector<bool>{true, true, false, false, false}));
    int middle = (f.Button("AnswerYes")->geometry().left() + f.Button("AnswerNo")->geometry().right()) / 2;
    EXPECT_NEAR(middle, f.form.width() / 2, 2);
}

// Without a handler of its own, Help (and F1) goes to the program's help.
TEST(GenMsgForm, HelpReachesTheProgramsHelpByItsTag) {
    Fakes().help.topics.clear();
    GenMsgForm form;
    form.Prepare(GenMsg::Compose(GenMsg::Entry(0, true), 0, 1, "Jon", 0, true).message);
    form.findChild<QPushButton*>("DoHelp0")->click();
    EXPECT_EQ(Fakes().help.topics, std::vector<std::string>{"GMnothingFound"});
}

TEST(QtServices, FiltersAndFileErrors) {
    EXPECT_EQ(QtFilter("Talvessin Name Lists (*.onl)|*.onl|All Files (*.*)|*.*"),
              "Talvessin Name Lists (*.onl);;All Files (*)");
    EXPECT_EQ(FileErrorNumber(QFileDevice::NoError, 0), 0);
    EXPECT_EQ(FileErrorNumber(QFileDevice::WriteError, ENOSPC), FileOp::kErrDiskFull);
    EXPECT_EQ(FileErrorNumber(QFileDevice::ResourceError, 0), FileOp::kErrDiskFull);
    EXPECT_EQ(FileErrorNumber(QFileDevice::PermissionsError, 0), FileOp::kErrPermissionDenied);
    EXPECT_EQ(FileErrorNumber(QFileDevice::OpenError, 0), FileOp::kErrPathAccess);
}

// The message window is a child of the frame; the frame may go before the
// message service (it does at the end of every run that showed a message).
TEST(QtServices, TheMessageWindowMayGoWithItsOwnerFirst) {
    QtMessageBoxes boxes;
    {
        QWidget owner;
        boxes.SetOwner(&owner);
        EXPECT_EQ(boxes.Form().parentWidget(), &owner);
    }
    // A later message gets a window of its own again.
    EXPECT_EQ(boxes.Form().parentWidget(), nullptr);
}

// The address a message names is copied by keyboard, as its text says: Tab
// from OK comes to the text with the address selected (and the text framed
// as the control with the keyboard), and Ctrl+C copies it. The window offers
// no minimise or maximise button.
TEST(GenMsgForm, TabReachesTheAddressAndCtrlCCopiesIt) {
    const std::string address = "https://example.org/names?q=1";
    GenMsgForm form;
    form.Prepare(GenMsg::Compose(GenMsg::Entry(GenMsg::GMnoProgramForAddress, true), GenMsg::GMnoProgramForAddress,
                                 3, address, 0, false)
                     .message);
    form.show();
    QApplication::setActiveWindow(&form);
    auto* text = form.findChild<QTextEdit*>("MsgText");
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_Tab, Qt::ShiftModifier}, {Qt::Key_Tab, Qt::NoModifier}}) {
        form.findChild<QPushButton*>("DoOk")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        if (modifiers == Qt::NoModifier) QTest::keyClick(QApplication::focusWidget(), key);  // past Help
        ASSERT_EQ(QApplication::focusWidget(), text);
        EXPECT_EQ(text->textCursor().selectedText().toStdString(), address);
        EXPECT_TRUE(FocusMark::Shown(text));
        QApplication::clipboard()->clear();
        QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text().toStdString(), address);
    }
    EXPECT_FALSE(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
}
