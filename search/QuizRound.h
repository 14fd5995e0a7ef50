// One round of the name quiz, without any window: the questions of the
// question set, the plan of easy, medium and hard questions, the jokers, the
// clock and the end of the round. The quiz window shows what a Round holds
// and passes the player's clicks and its timer ticks to it; the Round tells
// the window through its Listener when something on screen changed.
//
// Random numbers come from Services::Rnd(), the end message through GenMsg,
// so that a test scripts both.
#pragma once

#include <array>
#include <string>
#include <vector>

class atom;

namespace QuizRound {

constexpr int kNone = 31999;
constexpr int kNumAnswers = 4;
constexpr int kNumLevels = 3;
constexpr int kNumJokerSlots = 6;

// The largest values the options window accepts (the smallest is 0).
constexpr int kMaxMinutes = 60;
constexpr int kMaxQuestions = 50;
constexpr int kMaxJokers = 3;

enum JokerType { kNoJoker = 0, kFiftyFifty = 1, kNextQuestion = 2 };

// One question of a set, its right answer first as the set stores it.
struct QuizQuestion {
    std::string question;  // with mark-up
    int level = 0;         // 0 easy, 1 medium, 2 hard
    std::array<std::string, kNumAnswers> answers;
    int correct = 0;       // index of the right answer
    std::string descr;     // the explanation, with mark-up and links
    bool available = true; // not served yet in this round
};

// The level of a question as its prLevel text gives it: "0", "1", "2" (also
// " 2" or "1.6") give 0 to 2; any other number (-2, 3, "-3000000000")
// gives -1. A text without a number reads as 0, as Val reads it.
int ParseLevel(const std::string& text);
// The questions of a set (seQuestions or seEnglishQuestions) in the set's
// order. A question with fewer than four answers raises the assertion
// "GetQuestions answer" for each missing one and is left out; one whose
// level is not 0, 1 or 2 raises an assertion naming it and is left out.
std::vector<QuizQuestion> GetQuestions(const atom* set);
// The set of the text language: English questions with English texts.
std::vector<QuizQuestion> GetQuestions();

// The quiz options of one round.
struct Settings {
    bool useLimit = true;
    int numMin = 5;
    bool stopAfterWrong = true;
    bool incDiff = true;
    int numQ = 10;
    int numJo5050 = 2;
    int numJoNext = 2;

    // The options as stored, each number brought into the range the options
    // window allows: a damaged store never overflows the joker slots.
    static Settings FromOptions();
    Settings Clamped() const;
};

// 0 to n - 1 from one random number; 0 when n is not above 0.
int RandomInt(int n);
// Minutes and seconds of the time left, never below "00:00":
// TimeText(245) gives "04:05", TimeText(-3) "00:00".
std::string TimeText(int seconds);
// Easy, medium and hard questions of a round of n: 10 gives 5, 3, 2 and
// 50 gives 25, 15, 10.
std::array<int, kNumLevels> LevelPlan(int n);

// How an answer box is coloured.
enum class Shade { White, Selected, Right };

// Why a round ended.
enum class EndReason { None, AllAnswered, FirstWrong, TimeUp, NoQuestions };
// The reason as the end message names it, in the text language.
std::string EndReasonText(EndReason reason);

class Round {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        // Something on screen changed; texts: the question, the answers or
        // the explanation are to be shown again.
        virtual void RoundChanged(bool texts) = 0;
        // The clock starts or stops.
        virtual void ClockChanged(bool running) = 0;
    };

    explicit Round(Listener* listener = nullptr) : listener_(listener) {}

    // Starts a round over these questions and serves the first question
    // (or ends the round at once when there is nothing to ask). Levels
    // outside 0-2 are taken as the nearest of them.
    void Start(const Settings& settings, std::vector<QuizQuestion> questions);

    // --- what the player does -------------------------------------------------
    // Serves the next question or ends the round.
    void DoNext();
    void SelectAnswer(int index);
    // Gives the selected answer.
    void DoAnswer();
    // Uses the joker of a slot on the open question.
    void ExecJoker(int slot);
    // One second of the clock.
    void Tick();

    // Takes the next question of the current level from those not served
    // yet (of the nearest level when none of it is left); False when no
    // question is left at all. The question is shuffled and shown without
    // links.
    bool NextQuestion();

    // --- what the window shows ----------------------------------------------------
    const Settings& settings() const { return settings_; }
    const std::vector<QuizQuestion>& questions() const { return questions_; }
    // The question on screen with its answers in their shuffled order; null
    // before the first one.
    const QuizQuestion* current() const { return hasCurrent_ ? &current_ : nullptr; }
    // Whether the texts are shown with links and the explanation (after
    // the answer and at the end).
    bool linksShown() const { return linksShown_; }
    bool answerVisible(int i) const { return answerVisible_.at(static_cast<size_t>(i)); }
    Shade shade(int i) const { return shade_.at(static_cast<size_t>(i)); }
    int selected() const { return selected_; }
    bool doAnswerEnabled() const { return doAnswerEnabled_; }
    bool doNextEnabled() const { return doNextEnabled_; }
    bool rightShown() const { return rightShown_; }
    bool wrongShown() const { return wrongShown_; }
    // The caption of the question's frame: it names the level in a round
    // with levels.
    std::string frameCaption() const;
    // The number of the question on screen.
    int shownNumber() const { return shownNumber_; }
    // Questions of the round, questions remaining, right answers so far.
    int totalQuestions() const { return settings_.numQ; }
    int remainingQuestions() const { return settings_.numQ - questionNumber_ + 1; }
    int rightAnswers() const { return rightAnswers_; }
    // "" without a time limit.
    std::string timeText() const { return timeText_; }
    int secondsLeft() const { return secondsLeft_; }
    JokerType jokerType(int slot) const { return jokers_.at(static_cast<size_t>(slot)); }
    bool jokerEnabled(int slot) const { return jokerEnabled_.at(static_cast<size_t>(slot)); }

    // --- state ------------------------------------------------------------------------
    int level() const { return level_; }  // kNone without levels
    int questionNumber() const { return questionNumber_; }
    bool questionOpen() const { return open_; }
    bool answered() const { return answered_; }
    bool clockRunning() const { return clockRunning_; }
    bool ended() const { return reason_ != EndReason::None; }
    EndReason endReason() const { return reason_; }

private:
    void SetLevels();
    void SetJokers();
    void ShuffleAnswers(QuizQuestion& q);
    void ShowQuestion(bool links);
    void ClearSelection();
    void SetClock(bool running);
    void EndRound(EndReason reason);
    // The index of the question the walk from the position takes among the
    // available questions of a level (any level for kNone), -1 for none.
    int Pick(int level, int skip) const;
    // The level nearest to the current one that has a question left (the
    // lower one of two as near); -1 when none is left.
    int NearestLevelLeft() const;
    void Changed(bool texts);

    Listener* listener_ = nullptr;
    Settings settings_;
    std::vector<QuizQuestion> questions_;
    QuizQuestion current_;
    bool hasCurrent_ = false;
    int position_ = 0;
    int selected_ = kNone;
    bool answered_ = true;
    bool open_ = false;
    bool lastRight_ = true;
    bool fiftyUsed_ = false;
    int secondsLeft_ = 0;
    int questionNumber_ = 1;
    int shownNumber_ = 0;
    int rightAnswers_ = 0;
    int level_ = kNone;
    std::array<int, kNumLevels> remaining_{};
    std::array<JokerType, kNumJokerSlots> jokers_{};
    std::array<bool, kNumJokerSlots> jokerEnabled_{};
    std::array<bool, kNumAnswers> answerVisible_{};
    std::array<Shade, kNumAnswers> shade_{};
    bool linksShown_ = false;
    bool doAnswerEnabled_ = false;
    bool doNextEnabled_ = false;
    bool rightShown_ = false;
    bool wrongShown_ = false;
    bool clockRunning_ = false;
    std::string timeText_;
    EndReason reason_ = EndReason::None;
};

}  // namespace QuizRound
