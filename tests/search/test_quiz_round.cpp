// One round of the name quiz without its window: random numbers scripted
// (an empty script gives 0: the walk takes the next question, and a shuffle
// leaves the answers in their order), the end message taken from the fakes.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "DataBase.h"
#include "DbTestUtil.h"
#include "Fakes.h"
#include "GenMsg.h"
#include "Options.h"
#include "QuizRound.h"
#include "TextConstants.h"

namespace {

using QuizRound::EndReason;
using QuizRound::QuizQuestion;
using QuizRound::Round;
using QuizRound::Settings;
using QuizRound::Shade;

// Questions "E0", "E1", ... (easy), "M0", ... (medium), "H0", ... (hard), in
// that order; the right answer of each is "right".
std::vector<QuizQuestion> Questions(int easy, int medium, int hard) {
    std::vector<QuizQuestion> qs;
    const char letters[] = {'E', 'M', 'H'};
    const int counts[] = {easy, medium, hard};
    for (int level = 0; level < 3; ++level)
        for (int i = 0; i < counts[level]; ++i) {
            QuizQuestion q;
            q.question = std::string(1, letters[level]) + std::to_string(i);
            q.level = level;
            q.answers = {"right", "wrong1", "wrong2", "wrong3"};
            q.descr = "<a>gnX</a>";
            qs.push_back(q);
        }
    return qs;
}

Settings Plain(int numQ) {
    Settings s;
    s.useLimit = false;
    s.stopAfterWrong = false;
    s.incDiff = true;
    s.numQ = numQ;
    s.numJo5050 = 2;
    s.numJoNext = 2;
    return s;
}

class Recorder : public Round::Listener {
public:
    void RoundChanged(bool texts) override { texts ? ++textChanges : ++otherChanges; }
    void ClockChanged(bool running) override {
        clock.push_back(running);
        messagesWhenStopped.push_back(Fakes().messages.shown.size());
    }
    int textChanges = 0, otherChanges = 0;
    std::vector<bool> clock;
    std::vector<size_t> messagesWhenStopped;
};

class QuizRoundTest : public testing::Test {
protected:
    void SetUp() override {
        language_ = TextConstants::textLanguage;
        TextConstants::textLanguage = 1;
        GenMsg::InitMessages();
    }
    void TearDown() override {
        TextConstants::textLanguage = language_;
        GenMsg::InitMessages();
    }
    // Answers the open question right or wrong and serves the next.
    void Answer(bool right) {
        const QuizQuestion* q = round.current();
        ASSERT_TRUE(q);
        round.SelectAnswer(right ? q->correct : (q->correct + 1) % 4);
        round.DoAnswer();
        round.DoNext();
    }
    // The end message's reason, taken from the fakes.
    std::vector<std::string> EndMessages() {
        std::vector<std::string> reasons;
        for (const Services::Message& m : Fakes().TakeMessages()) {
            EXPECT_EQ(m.number, GenMsg::GMquizEnded);
            reasons.push_back(m.arg);
        }
        return reasons;
    }
    std::string Shown() { return round.current() ? round.current()->question : ""; }
    int VisibleAnswers() const {
        int n = 0;
        for (int i = 0; i < QuizRound::kNumAnswers; ++i) n += round.answerVisible(i) ? 1 : 0;
        return n;
    }

    Recorder recorder;
    Round round{&recorder};
    int language_ = 0;
};

TEST(QuizHelpers, LevelPlanTimeTextAndRandomInt) {
    EXPECT_EQ(QuizRound::LevelPlan(10), (std::array<int, 3>{5, 3, 2}));
    EXPECT_EQ(QuizRound::LevelPlan(50), (std::array<int, 3>{25, 15, 10}));
    EXPECT_EQ(QuizRound::LevelPlan(4), (std::array<int, 3>{3, 1, 0}));
    EXPECT_EQ(QuizRound::LevelPlan(0), (std::array<int, 3>{0, 0, 0}));
    const std::pair<int, const char*> times[] = {{245, "04:05"}, {0, "00:00"}, {59, "00:59"},
                                                 {3600, "60:00"}, {-1, "00:00"}};
    for (const auto& [seconds, text] : times) EXPECT_EQ(QuizRound::TimeText(seconds), text) << seconds;
    Fakes().random.script = {0.0, 0.999999, 0.5, 1.0};
    EXPECT_EQ(QuizRound::RandomInt(4), 0);
    EXPECT_EQ(QuizRound::RandomInt(4), 3);
    EXPECT_EQ(QuizRound::RandomInt(4), 2);
    EXPECT_EQ(QuizRound::RandomInt(4), 3);  // a generator that reaches 1 stays in range
}

// A round of 10 with levels serves 5 easy, 3 medium and 2 hard questions and
// names the level in the frame; without levels it takes what comes next.
TEST_F(QuizRoundTest, LevelsRiseByThePlanAndTheCaptionNamesThem) {
    round.Start(Plain(10), Questions(8, 5, 4));
    std::string served, captions;
    for (int i = 0; i < 10; ++i) {
        served += Shown().substr(0, 1);
        captions += round.frameCaption().substr(19, 1);  // "Current question - " then the level's name
        EXPECT_EQ(round.shownNumber(), i + 1);
        Answer(true);
    }
    EXPECT_EQ(served, "EEEEEMMMHH");
    EXPECT_EQ(captions, "EEEEESSSHH");
    EXPECT_EQ(EndMessages(), std::vector<std::string>{"All questions answered"});
    EXPECT_EQ(round.rightAnswers(), 10);
    EXPECT_EQ(round.remainingQuestions(), 0);

    Settings flat = Plain(50);
    flat.incDiff = false;
    round.Start(flat, Questions(2, 2, 2));
    EXPECT_EQ(round.frameCaption(), "Current question");
    served.clear();
    for (int i = 0; i < 6; ++i) {
        served += Shown();
        Answer(true);
    }
    EXPECT_EQ(served, "E1M0M1H0H1E0");  // the walk starts after position 0
    EXPECT_EQ(EndMessages(), std::vector<std::string>{"No questions left"});
}

TEST_F(QuizRoundTest, TheRoundEndsForEachReasonInItsOrder) {
    struct Case {
        int numQ;
        bool stopAfterWrong;
        std::vector<bool> answers;  // right or wrong, in turn
        const char* reason;
        int served;
    };
    const Case cases[] = {
        {3, true, {true, true, false}, "All questions answered", 3},  // a wrong last answer
        {10, true, {true, true, false}, "First wrong answer", 3},
        {4, false, {false, false, false, false}, "All questions answered", 4},
        {0, true, {}, "All questions answered", 0},
    };
    for (const Case& c : cases) {
        Settings s = Plain(c.numQ);
        s.stopAfterWrong = c.stopAfterWrong;
        round.Start(s, Questions(8, 5, 4));
        int served = 0;
        for (bool right : c.answers) {
            ASSERT_FALSE(round.ended()) << c.reason;
            ++served;
            Answer(right);
        }
        EXPECT_TRUE(round.ended()) << c.numQ;
        EXPECT_EQ(served, c.served);
        EXPECT_EQ(EndMessages(), std::vector<std::string>{c.reason}) << c.numQ;
        // After the end the buttons are off and nothing reacts.
        EXPECT_FALSE(round.doAnswerEnabled() || round.doNextEnabled());
        round.DoNext();
        round.SelectAnswer(0);
        EXPECT_EQ(round.selected(), QuizRound::kNone);
        EXPECT_TRUE(EndMessages().empty());
    }
}

// Whatever the random numbers, the box that counts as right shows the right
// answer, and the four answers stay the same four.
TEST_F(QuizRoundTest, TheRightAnswerFollowsEveryShuffle) {
    uint32_t seed = 7;
    for (int i = 0; i < 2000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        Fakes().random.script.push_back((seed >> 8) / 16777216.0);
    }
    round.Start(Plain(30), Questions(20, 10, 10));
    std::vector<int> rightAt(4, 0);
    while (!round.ended()) {
        const QuizQuestion* q = round.current();
        ASSERT_TRUE(q);
        EXPECT_EQ(q->answers[static_cast<size_t>(q->correct)], "right");
        std::vector<std::string> sorted(q->answers.begin(), q->answers.end());
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, (std::vector<std::string>{"right", "wrong1", "wrong2", "wrong3"}));
        ++rightAt[static_cast<size_t>(q->correct)];
        Answer(true);
    }
    EndMessages();
    for (int n : rightAt) EXPECT_GT(n, 0);  // the right answer moves about
}

TEST_F(QuizRoundTest, FiftyFiftyHidesTwoWrongAnswersOncePerQuestion) {
    round.Start(Plain(10), Questions(8, 5, 4));
    ASSERT_EQ(round.jokerType(0), QuizRound::kFiftyFifty);
    round.SelectAnswer(3);
    Fakes().random.script = {0.9, 0.9};  // the last wrong answer, then the last of the two left
    round.ExecJoker(0);
    EXPECT_EQ(VisibleAnswers(), 2);
    EXPECT_TRUE(round.answerVisible(0));  // the right one
    EXPECT_FALSE(round.answerVisible(3));
    // The selection lay on a hidden answer: it is gone, and cannot be given.
    EXPECT_EQ(round.selected(), QuizRound::kNone);
    EXPECT_EQ(round.shade(3), Shade::White);
    EXPECT_FALSE(round.doAnswerEnabled());
    round.SelectAnswer(3);
    EXPECT_EQ(round.selected(), QuizRound::kNone);
    EXPECT_FALSE(round.jokerEnabled(0));

    // The second 50-50 on the same question does nothing and stays.
    round.ExecJoker(1);
    EXPECT_TRUE(round.jokerEnabled(1));
    EXPECT_EQ(VisibleAnswers(), 2);

    // On the next question it works; a selection on a kept answer stays.
    Answer(true);
    EXPECT_TRUE(round.answerVisible(1) && round.answerVisible(2) && round.answerVisible(3));
    round.SelectAnswer(0);
    round.ExecJoker(1);
    EXPECT_FALSE(round.jokerEnabled(1));
    EXPECT_EQ(round.selected(), 0);
    EXPECT_EQ(round.shade(0), Shade::Selected);
}

// Two 50-50 jokers and one "next question": the 50-50 used before the
// question was replaced still counts for its number.
TEST_F(QuizRoundTest, NextQuestionKeepsLevelCountersAndTheFiftyFiftyAndClearsTheSelection) {
    Settings settings = Plain(10);
    settings.numJoNext = 1;
    round.Start(settings, Questions(8, 5, 4));
    ASSERT_EQ(round.jokerType(2), QuizRound::kNextQuestion);
    for (int i = 0; i < 5; ++i) Answer(true);
    ASSERT_EQ(Shown(), "M0");
    round.ExecJoker(0);  // 50-50 on this question
    round.SelectAnswer(round.current()->correct);
    const int number = round.shownNumber(), remaining = round.remainingQuestions();
    round.ExecJoker(2);  // "next question"
    EXPECT_EQ(Shown(), "M1");
    EXPECT_EQ(round.level(), 1);
    EXPECT_EQ(round.shownNumber(), number);
    EXPECT_EQ(round.remainingQuestions(), remaining);
    EXPECT_EQ(round.selected(), QuizRound::kNone);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(round.shade(i), Shade::White);
        EXPECT_TRUE(round.answerVisible(i));  // all four answers of the new question
    }
    EXPECT_FALSE(round.jokerEnabled(2));
    round.ExecJoker(1);  // the same question number: the second 50-50 does nothing
    EXPECT_TRUE(round.jokerEnabled(1));
    EXPECT_EQ(VisibleAnswers(), 4);
    Answer(true);
    round.ExecJoker(1);  // the next number: it works
    EXPECT_FALSE(round.jokerEnabled(1));
    EXPECT_EQ(VisibleAnswers(), 2);
    // The medium questions still serve their count: the replaced one is used.
    std::string served;
    for (int i = 0; i < 4; ++i) {
        served += Shown() + " ";
        Answer(true);
    }
    EXPECT_EQ(served, "M2 M3 H0 H1 ");
    EndMessages();
}

// A set too small for the round: the nearest level stands in, and the round
// ends when nothing is left; a "next question" joker without another
// question does nothing.
TEST_F(QuizRoundTest, SmallAndEmptySetsEndTheRound) {
    round.Start(Plain(10), Questions(1, 0, 2));
    std::string served;
    while (!round.ended()) {
        served += Shown() + " ";
        if (round.current()->question == "H1") {
            round.ExecJoker(2);
            EXPECT_TRUE(round.jokerEnabled(2));
            EXPECT_EQ(Shown(), "H1");
        }
        Answer(true);
    }
    EXPECT_EQ(served, "E0 H0 H1 ");
    EXPECT_EQ(EndMessages(), std::vector<std::string>{"No questions left"});

    round.Start(Plain(10), {});
    EXPECT_TRUE(round.ended());
    EXPECT_EQ(round.current(), nullptr);
    EXPECT_EQ(EndMessages(), std::vector<std::string>{"No questions left"});
}

TEST_F(QuizRoundTest, TheClockRunsOnlyWhileAQuestionIsOpen) {
    Settings s = Plain(10);
    s.useLimit = true;
    s.numMin = 1;
    round.Start(s, Questions(8, 5, 4));
    EXPECT_EQ(round.timeText(), "01:00");
    EXPECT_TRUE(round.clockRunning());
    for (int i = 0; i < 15; ++i) round.Tick();
    EXPECT_EQ(round.timeText(), "00:45");
    round.SelectAnswer(0);
    round.DoAnswer();
    EXPECT_FALSE(round.clockRunning());
    round.Tick();  // a tick already on its way
    EXPECT_EQ(round.timeText(), "00:45");
    round.DoNext();
    EXPECT_TRUE(round.clockRunning());
    for (int i = 0; i < 44; ++i) round.Tick();
    EXPECT_FALSE(round.ended());
    round.Tick();
    EXPECT_TRUE(round.ended());
    EXPECT_EQ(round.timeText(), "00:00");
    // The clock stopped before the message, and the round ended once.
    EXPECT_EQ(recorder.clock.back(), false);
    EXPECT_EQ(recorder.messagesWhenStopped.back(), 0u);
    EXPECT_EQ(EndMessages(), std::vector<std::string>{"Time is up"});
    round.Tick();
    round.SelectAnswer(1);
    round.ExecJoker(0);
    EXPECT_TRUE(round.jokerEnabled(0));
    EXPECT_EQ(round.selected(), QuizRound::kNone);
    EXPECT_TRUE(round.linksShown());  // the explanation is shown
    EXPECT_TRUE(EndMessages().empty());

    // Without a limit there is neither a time nor a clock.
    round.Start(Plain(10), Questions(8, 5, 4));
    EXPECT_EQ(round.timeText(), "");
    EXPECT_FALSE(round.clockRunning());
}

TEST_F(QuizRoundTest, JokerSlotsFollowTheOptionsWithinSixSlots) {
    struct Case {
        int fifty, next;
        const char* slots;
    };
    const Case cases[] = {{3, 3, "111222"}, {0, 0, "000000"}, {5, 4, "111222"}, {1, 0, "100000"},
                          {-2, 2, "220000"}};
    for (const Case& c : cases) {
        Options::QuizNumJo5050 = c.fifty;
        Options::QuizNumJoNext = c.next;
        round.Start(Settings::FromOptions(), Questions(8, 5, 4));
        std::string slots;
        for (int i = 0; i < QuizRound::kNumJokerSlots; ++i) {
            slots += std::to_string(static_cast<int>(round.jokerType(i)));
            EXPECT_EQ(round.jokerEnabled(i), round.jokerType(i) != QuizRound::kNoJoker);
        }
        EXPECT_EQ(slots, c.slots) << c.fifty << "," << c.next;
    }
    Options::QuizNumQ = 500;
    Options::QuizNumMin = -4;
    Settings s = Settings::FromOptions();
    EXPECT_EQ(s.numQ, 50);
    EXPECT_EQ(s.numMin, 0);
    Options::SetDefaults();
}

TEST(QuizQuestions, ReadInTheSetsOrderAndShortQuestionsLeftOut) {
    using dbtest::Add;
    DataBase::InitDataBase();
    Add("quA", {{"prQuestion", "First?"}, {"prLevel", "1.6"}, {"prAnswer", "a"}, {"prAnswer", "b"},
                {"prAnswer", "c"}, {"prAnswer", "d"}, {"prAnswer", "e"}, {"prDescr", "Because."}});
    Add("quB", {{"prQuestion", "Short?"}, {"prLevel", "0"}, {"prAnswer", "a"}, {"prAnswer", "b"},
                {"prAnswer", "c"}, {"prDescr", "Three only."}});
    Add("quC", {{"prQuestion", "Third?"}, {"prAnswer", "w"}, {"prAnswer", "x"}, {"prAnswer", "y"},
                {"prAnswer", "z"}, {"prDescr", "Yes."}});
    Add("seQuestions", {{"prMember", "@quC"}, {"prMember", "@quB"}, {"prMember", "@quA"}});
    DataBase::DeriveAll();
    std::vector<QuizQuestion> qs = QuizRound::GetQuestions(DataBase::seQuestions);
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{"*** Assert: *** GetQuestions answer"});
    ASSERT_EQ(qs.size(), 2u);
    EXPECT_EQ(qs[0].question, "Third?");
    EXPECT_EQ(qs[0].level, 0);
    EXPECT_EQ(qs[1].question, "First?");
    EXPECT_EQ(qs[1].level, 2);
    EXPECT_EQ(qs[1].answers, (std::array<std::string, 4>{"a", "b", "c", "d"}));
    EXPECT_EQ(qs[1].correct, 0);
    EXPECT_EQ(qs[1].descr, "Because.");
    EXPECT_TRUE(QuizRound::GetQuestions(DataBase::seEnglishQuestions).empty());
    DataBase::InitDataBase();
}

TEST(QuizQuestions, LevelsAtAndBeyondTheirBounds) {
    const struct {
        const char* text;
        int level;  // -1: refused
    } cases[] = {
        {"0", 0}, {"2", 2}, {" 1", 1}, {"1.6", 2}, {"-0", 0},
        {"3", -1}, {"-1", -1}, {"-2", -1}, {"2.6", -1}, {"-3000000000", -1}, {"3000000000", -1},
        {"x", 0},  // no number reads as 0, as every number field does
    };
    for (const auto& c : cases) EXPECT_EQ(QuizRound::ParseLevel(c.text), c.level) << c.text;

    // The reader leaves such a question out and names it; the rest serve.
    using dbtest::Add;
    DataBase::InitDataBase();
    auto question = [](const char* name, const char* level) {
        Add(name, {{"prQuestion", std::string(name) + "?"}, {"prLevel", level}, {"prAnswer", "a"},
                   {"prAnswer", "b"}, {"prAnswer", "c"}, {"prAnswer", "d"}, {"prDescr", "."}});
    };
    question("quLow", "-3000000000");
    question("quNeg", "-2");
    question("quOk", "2");
    Add("seQuestions", {{"prMember", "@quLow"}, {"prMember", "@quNeg"}, {"prMember", "@quOk"}});
    DataBase::DeriveAll();
    std::vector<QuizQuestion> qs = QuizRound::GetQuestions(DataBase::seQuestions);
    const std::vector<std::string> asserts = Fakes().TakeAsserts();
    ASSERT_EQ(asserts.size(), 2u);
    EXPECT_NE(asserts[0].find("quLow has the level \"-3000000000\""), std::string::npos) << asserts[0];
    EXPECT_NE(asserts[1].find("quNeg has the level \"-2\""), std::string::npos) << asserts[1];
    ASSERT_EQ(qs.size(), 1u);
    EXPECT_EQ(qs[0].question, "quOk?");
    DataBase::InitDataBase();
}

// Questions handed to a round with levels no reader gives are served as
// the nearest level, never ending the round before its first question.
TEST_F(QuizRoundTest, ARoundHoldsWildLevelsToTheThreeItPlans) {
    std::vector<QuizQuestion> qs = Questions(2, 0, 0);
    qs[0].level = std::numeric_limits<int>::min();
    qs[1].level = -2;
    QuizQuestion high = qs[0];
    high.question = "H";
    high.level = std::numeric_limits<int>::max();
    qs.push_back(high);
    round.Start(Plain(3), qs);
    std::string served;
    while (!round.ended()) {
        served += Shown() + " ";
        Answer(true);
    }
    EXPECT_EQ(served, "E1 E0 H ");  // the walk starts after position 0
    EXPECT_EQ(EndMessages(), std::vector<std::string>{"All questions answered"});
}

}  // namespace
