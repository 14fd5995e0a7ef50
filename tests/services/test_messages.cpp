#include <gtest/gtest.h>

#include <cerrno>

#include "Cp1252.h"
#include "Fakes.h"
#include "FileOp.h"
#include "GenMsg.h"
#include "TextConstants.h"

using namespace GenMsg;
using Services::MsgRun;

namespace {
MsgRun Plain(const std::string& s) { return {s, false, false}; }
MsgRun Bold(const std::string& s) { return {s, true, false}; }
MsgRun Br() { return {"", false, true}; }
}  // namespace

TEST(MessageTable, BothLanguagesHoldEveryMessageWithItsTag) {
    for (int id = 0; id < kNumMessages; ++id) {
        std::string en = Entry(id, true), de = Entry(id, false);
        ASSERT_EQ(en.empty(), de.empty()) << id;
        if (en.empty()) continue;
        EXPECT_EQ(en.substr(0, 3), "<GM") << id;
        EXPECT_EQ(en.substr(0, en.find('>')), de.substr(0, de.find('>'))) << id;
    }
    EXPECT_TRUE(Entry(kNumMessages, true).empty()) << "a message beyond the table";
    TextConstants::textLanguage = 1;
    InitMessages();
    EXPECT_EQ(MsgTable[23], "<GMdiskFull>File %0<br>The disk is full");
    EXPECT_EQ(MsgTable[GMuserFileMerged].substr(0, 18), "<GMuserFileMerged>");
    TextConstants::textLanguage = 0;
    InitMessages();
    EXPECT_EQ(MsgTable[23], "<GMdiskFull>Datei %0<br>Das Laufwerk ist voll");
}

TEST(MessageCompose, TextButtonsAndHelpTopicFromTheEntry) {
    struct Case { int id, msgClass; std::string arg; int errNum; bool english; std::string text, tag, icon; bool question; }
    cases[] = {
        {0, 1, "Anna", 0, true, "'<b>Anna</b>' or something similar could not be found in the database",
         "GMnothingFound", "Exclamation", false},
        {23, 2, "/home/u/a.onl", 61, true, "File <b>/home/u/a.onl</b><br>The disk is full (error code 61) Try again?",
         "GMdiskFull", "Question", true},
        {23, 2, "a.onl", 61, false, "Datei <b>a.onl</b><br>Das Laufwerk ist voll (Fehlercode 61) Nochmals versuchen?",
         "GMdiskFull", "Question", true},
        {101, 2, "", 0, true, Entry(101, true).substr(12), "GMendTutor", "Question", true},
        {0, 3, "", 0, true, "'%0' or something similar could not be found in the database", "GMnothingFound",
         "Info", false},
    };
    for (const auto& c : cases) {
        Composed r = Compose(Entry(c.id, c.english), c.id, c.msgClass, c.arg, c.errNum, c.english);
        EXPECT_EQ(r.message.text, c.text) << c.id;
        EXPECT_EQ(std::tuple(r.message.helpTag, r.message.iconKey, r.message.question), std::tuple(c.tag, c.icon, c.question)) << c.id;
        EXPECT_TRUE(r.faults.empty()) << c.id;
    }
}

TEST(MessageCompose, RunsCarryTheMarkupAndTheArgumentLiterally) {
    Composed r = Compose(Entry(30, true), 30, 0, "/tmp/<b>x</b>&<a href=\"y\">%0.txt", 0, true);
    EXPECT_EQ(r.message.runs, (std::vector<MsgRun>{Plain("File "), Bold("/tmp/<b>x</b>&<a href=\"y\">%0.txt"), Br(),
                                                   Plain("not found")}));
    // No tag: no help; a "%" not followed by 0 stays as it is.
    Composed plain = Compose("50% done, %0 left", 5, 3, "3", 0, false);
    EXPECT_EQ(plain.message.helpTag, "");
    EXPECT_EQ(plain.message.text, "50% done, <b>3</b> left");
}

TEST(MessageCompose, WrongUseIsReportedAndTheMessageStillShown) {
    Composed noPlace = Compose(Entry(7, true), 7, 3, "surplus", 0, true);
    EXPECT_EQ(noPlace.faults, std::vector<std::string>{"Replace pos"});
    EXPECT_EQ(noPlace.message.text, "Processing is completed");
    Composed badClass = Compose(Entry(7, true), 7, 9, "", 0, true);
    EXPECT_EQ(badClass.faults, std::vector<std::string>{"Show msgClass"});
    EXPECT_FALSE(badClass.message.question);

    ShowMsg(7, 3, "surplus");
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{"*** Assert: *** Replace pos"});
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{7});
    Fakes().Answer({true, false});  // a question returns the answer
    EXPECT_TRUE(AskMsg(GMendTutor, ""));
    EXPECT_FALSE(AskMsg(GMendTutor, ""));
    EXPECT_EQ(Fakes().TakeMessageNumbers(), (std::vector<int>{GMendTutor, GMendTutor}));
}

TEST(DiskErrors, EachSystemErrorHasItsNumberAndMessage) {
    struct Case {
        int err, errNum, msg;
        bool asked;
    } cases[] = {{EIO, 57, GMinternalDiskError, true}, {ENOSPC, 61, GMdiskFull, true},
                 {EDQUOT, 61, GMdiskFull, true},       {ENXIO, 68, GMdeviceUnavailable, true},
                 {EROFS, 70, GMpermissionDenied, true}, {EISDIR, 75, GMpermissionDenied, true},
                 {EBUSY, 71, GMdiskNotReady, true},    {ENOENT, 53, GMotherDiskError, false},
                 {ENOTDIR, 76, GMotherDiskError, false}, {EINVAL, 51, GMotherDiskError, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(FileOp::ErrorFromErrno(c.err), c.errNum) << c.err;
        // Asked: Yes sets retry. An unknown error is a plain message and
        // leaves retry as the caller set it.
        if (c.asked) Fakes().Answer({true});
        bool retry = !c.asked;
        ShowDiskError("/data/Talv1User.txt", true, retry, c.errNum);
        EXPECT_TRUE(retry) << c.errNum;
        auto shown = Fakes().TakeMessages();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].number, c.msg) << c.errNum;
        EXPECT_EQ(shown[0].msgClass, c.asked ? 2 : 0) << c.errNum;
        const std::string code = TextConstants::textLanguage != 0 ? "(error code " : "(Fehlercode ";
        EXPECT_NE(shown[0].text.find(code + std::to_string(c.errNum) + ")"), std::string::npos);
    }
    bool retry = false;
    ShowDiskError("f", false, retry, 61);  // not asked: a critical message
    EXPECT_EQ(Fakes().TakeMessages().at(0).msgClass, 0);
    EXPECT_FALSE(retry);
    // What is no ordinary file has a message of its own, never asked: a
    // retry would meet the same folder or device.
    ShowDiskError("/home/u/names", true, retry, FileOp::kErrNotAFile);
    const auto shown = Fakes().TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(std::tuple(shown[0].number, shown[0].msgClass, retry), std::tuple(int(GMnotAFile), 0, false));
}

TEST(CheckNumberField, AcceptsOnlyAnIntegerThatFitsAndItsReaderAgrees) {
    struct Case {
        const char* text;
        int msg;    // -1 accepted
        int value;  // what a reader of the field takes from the text
    } cases[] = {{"0", -1, 0},       {"  12  ", -1, 12},  {"+5", -1, 5},         {"-0", -1, 0},
                 {"32767", -1, 32767}, {"007", -1, 7},     {"", GMnotEmpty, 0},  {"   ", GMnotEmpty, 0},
                 {"-3", GMonlyPositive, 0},  {"-99999", GMonlyPositive, 0},     {"1a", GMonlyNumbers, 1},
                 {"-", GMonlyNumbers, 0},    {"+", GMonlyNumbers, 0},           {"1-2", GMonlyNumbers, 1},
                 {"--1", GMonlyNumbers, 0},  {"1 2", GMonlyNumbers, 1},         {"1.5", GMonlyNumbers, 2},
                 {"\t3", GMonlyNumbers, 3},  {"32768", GMtooBig, 32767},
                 {"99999999999999999999999", GMtooBig, 32767}};
    for (const auto& c : cases) {
        EXPECT_EQ(CheckNumberText(c.text), c.msg) << "'" << c.text << "'";
        EXPECT_EQ(NumberFieldValue(c.text), c.value) << "'" << c.text << "'";
    }

    EXPECT_TRUE(CheckNumberField(" 12 "));
    EXPECT_FALSE(CheckNumberField("1a"));
    EXPECT_FALSE(CheckNumberField("40000"));
    EXPECT_EQ(Fakes().TakeMessageNumbers(), (std::vector<int>{GMonlyNumbers, GMtooBig}));
}
