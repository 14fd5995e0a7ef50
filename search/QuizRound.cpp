#include "QuizRound.h"

#include <algorithm>
#include <cstdlib>

#include "Atom.h"
#include "Basic.h"
#include "DataBase.h"
#include "Errors.h"
#include "GenMsg.h"
#include "Options.h"
#include "Services.h"
#include "TextConstants.h"

using TextConstants::LangText;

namespace QuizRound {

// --- the question sets -------------------------------------------------------------

int ParseLevel(const std::string& text) {
    // Val reads "1e9" or "-3000000000" as well; CLng saturates, and only
    // the whole numbers 0 to 2 are taken.
    const double v = Basic::Val(text);
    if (!(v >= 0 && v <= kNumLevels - 1)) return -1;
    return Basic::CLng(v);
}

std::vector<QuizQuestion> GetQuestions(const atom* set) {
    std::vector<QuizQuestion> out;
    if (!set) return out;
    for (const Prop* member : set->props()) {
        if (member->proper() != DataBase::prMember) continue;
        const atom* a = member->atomVal();
        if (!a || a == DataBase::nothingAtom) continue;
        QuizQuestion q;
        int answers = 0;
        std::string level = "0";
        for (const Prop* p : a->props()) {
            const atom* kind = p->proper();
            if (kind == DataBase::prQuestion && q.question.empty()) {
                q.question = std::string(p->strVal());
            } else if (kind == DataBase::prLevel) {
                level = std::string(p->strVal());
            } else if (kind == DataBase::prAnswer && answers < kNumAnswers) {
                q.answers[static_cast<size_t>(answers++)] = std::string(p->strVal());
            } else if (kind == DataBase::prDescr && q.descr.empty()) {
                q.descr = std::string(p->strVal());
            }
        }
        for (int missing = answers; missing < kNumAnswers; ++missing) Errors::Assert(false, "GetQuestions answer");
        // A question short of answers would offer empty boxes, one of them
        // perhaps the "right" one: it stays out of the round.
        if (answers < kNumAnswers) continue;
        // A level beyond the three a round plans for would never be served
        // (or end the round at once): such a question stays out, named.
        q.level = ParseLevel(level);
        if (q.level < 0) {
            Errors::Assert(false, "GetQuestions level: question " + std::string(a->name()) + " has the level \"" + level +
                                      "\", not 0, 1 or 2");
            continue;
        }
        out.push_back(std::move(q));
    }
    return out;
}

std::vector<QuizQuestion> GetQuestions() {
    return GetQuestions(TextConstants::textLanguage == 1 ? DataBase::seEnglishQuestions : DataBase::seQuestions);
}

// --- settings and small helpers ------------------------------------------------------------

Settings Settings::FromOptions() {
    Settings s;
    s.useLimit = Options::QuizUseLimit;
    s.numMin = Options::QuizNumMin;
    s.stopAfterWrong = Options::QuizStopAfterWrong;
    s.incDiff = Options::QuizIncDiff;
    s.numQ = Options::QuizNumQ;
    s.numJo5050 = Options::QuizNumJo5050;
    s.numJoNext = Options::QuizNumJoNext;
    return s.Clamped();
}

Settings Settings::Clamped() const {
    Settings s = *this;
    s.numMin = std::clamp(numMin, 0, kMaxMinutes);
    s.numQ = std::clamp(numQ, 0, kMaxQuestions);
    s.numJo5050 = std::clamp(numJo5050, 0, kMaxJokers);
    s.numJoNext = std::clamp(numJoNext, 0, kMaxJokers);
    return s;
}

int RandomInt(int n) {
    if (n <= 0) return 0;
    const int r = static_cast<int>(Services::Rnd().Next() * n);
    return std::clamp(r, 0, n - 1);
}

std::string TimeText(int seconds) {
    seconds = std::max(seconds, 0);
    auto two = [](int v) { return v < 10 ? "0" + std::to_string(v) : std::to_string(v); };
    return two(seconds / 60) + ":" + two(seconds % 60);
}

std::array<int, kNumLevels> LevelPlan(int n) {
    const int hard = 2 * n / 10;
    const int medium = 3 * n / 10;
    return {n - medium - hard, medium, hard};
}

std::string EndReasonText(EndReason reason) {
    switch (reason) {
    case EndReason::AllAnswered: return LangText("Alle Fragen beantwortet", "All questions answered");
    case EndReason::FirstWrong: return LangText("Erste falsche Antwort", "First wrong answer");
    case EndReason::TimeUp: return LangText("Zeit ist um", "Time is up");
    case EndReason::NoQuestions: return LangText("Keine Fragen mehr", "No questions left");
    case EndReason::None: break;
    }
    return "";
}

// --- the round ------------------------------------------------------------------------------

void Round::Start(const Settings& settings, std::vector<QuizQuestion> questions) {
    settings_ = settings.Clamped();
    questions_ = std::move(questions);
    for (QuizQuestion& q : questions_) {
        q.available = true;
        // The reader keeps to 0-2; a question set made elsewhere is held to
        // it too, so that no level arithmetic below meets a wild value.
        q.level = std::clamp(q.level, 0, kNumLevels - 1);
    }
    hasCurrent_ = false;
    current_ = {};
    position_ = 0;
    selected_ = kNone;
    shade_.fill(Shade::White);
    answerVisible_.fill(true);
    linksShown_ = false;
    doAnswerEnabled_ = doNextEnabled_ = rightShown_ = wrongShown_ = false;
    SetClock(false);
    reason_ = EndReason::None;
    open_ = false;
    fiftyUsed_ = false;

    answered_ = true;
    questionNumber_ = 1;
    shownNumber_ = 0;
    rightAnswers_ = 0;
    level_ = settings_.incDiff ? 0 : kNone;
    SetLevels();
    secondsLeft_ = settings_.numMin * 60;
    SetJokers();
    timeText_ = settings_.useLimit ? TimeText(secondsLeft_) : "";
    lastRight_ = true;
    Changed(true);
    DoNext();
}

void Round::SetLevels() { remaining_ = LevelPlan(settings_.numQ); }

void Round::SetJokers() {
    jokers_.fill(kNoJoker);
    size_t slot = 0;
    for (int i = 0; i < settings_.numJo5050 && slot < jokers_.size(); ++i) jokers_[slot++] = kFiftyFifty;
    for (int i = 0; i < settings_.numJoNext && slot < jokers_.size(); ++i) jokers_[slot++] = kNextQuestion;
    for (size_t i = 0; i < jokers_.size(); ++i) jokerEnabled_[i] = jokers_[i] != kNoJoker;
}

void Round::DoNext() {
    if (ended()) return;
    Errors::Assert(answered_, "DoNext_Click answered");
    if (!answered_) return;
    shade_.fill(Shade::White);
    selected_ = kNone;

    if (questionNumber_ > settings_.numQ) {
        EndRound(EndReason::AllAnswered);
        return;
    }
    // Tested after the count, so that a wrong last answer ends the round
    // as every round ends: all questions answered.
    if (!lastRight_ && settings_.stopAfterWrong) {
        EndRound(EndReason::FirstWrong);
        return;
    }
    if (level_ != kNone) {
        while (remaining_[static_cast<size_t>(level_)] <= 0 && level_ < kNumLevels - 1) ++level_;
        --remaining_[static_cast<size_t>(level_)];
    }
    if (!NextQuestion()) {
        EndRound(EndReason::NoQuestions);
        return;
    }
    shownNumber_ = questionNumber_;
    answered_ = false;
    open_ = true;
    fiftyUsed_ = false;
    doNextEnabled_ = doAnswerEnabled_ = false;
    rightShown_ = wrongShown_ = false;
    if (settings_.useLimit) timeText_ = TimeText(secondsLeft_);
    Changed(true);
    if (settings_.useLimit) SetClock(true);
}

int Round::Pick(int level, int skip) const {
    const int n = static_cast<int>(questions_.size());
    auto fits = [&](const QuizQuestion& q) { return q.available && (level == kNone || q.level == level); };
    const int e = static_cast<int>(std::count_if(questions_.begin(), questions_.end(), fits));
    if (e == 0) return -1;
    // The walk from the position counts the fitting questions round and
    // round until skip is used up: it stops at the (skip mod e)-th one.
    int k = skip % e;
    for (int step = 1; step <= n; ++step) {
        const int i = (position_ + step) % n;
        if (!fits(questions_[static_cast<size_t>(i)])) continue;
        if (k == 0) return i;
        --k;
    }
    return -1;
}

int Round::NearestLevelLeft() const {
    int best = -1;
    int bestDistance = 0;
    for (const QuizQuestion& q : questions_) {
        if (!q.available) continue;
        const int d = std::abs(q.level - level_);
        if (best < 0 || d < bestDistance || (d == bestDistance && q.level < best)) {
            best = q.level;
            bestDistance = d;
        }
    }
    return best < 0 ? -1 : best;
}

bool Round::NextQuestion() {
    const int n = static_cast<int>(questions_.size());
    if (n == 0) return false;
    const int skip = RandomInt(n);
    int index = Pick(level_, skip);
    if (index < 0 && level_ != kNone) {
        // None of this level left (a small set, "next question" jokers):
        // the nearest level serves instead of a walk without end.
        const bool any = std::any_of(questions_.begin(), questions_.end(),
                                     [](const QuizQuestion& q) { return q.available; });
        if (any) index = Pick(NearestLevelLeft(), skip);
    }
    if (index < 0) return false;
    position_ = index;
    questions_[static_cast<size_t>(index)].available = false;
    current_ = questions_[static_cast<size_t>(index)];
    hasCurrent_ = true;
    ShuffleAnswers(current_);
    ShowQuestion(false);
    return true;
}

void Round::ShuffleAnswers(QuizQuestion& q) {
    for (int i = 0; i < 6; ++i) {
        const int a = RandomInt(kNumAnswers);
        const int b = RandomInt(kNumAnswers);
        if (a == b) continue;
        std::swap(q.answers[static_cast<size_t>(a)], q.answers[static_cast<size_t>(b)]);
        if (q.correct == a)
            q.correct = b;
        else if (q.correct == b)
            q.correct = a;
    }
}

void Round::ShowQuestion(bool links) {
    answerVisible_.fill(true);
    linksShown_ = links;
}

std::string Round::frameCaption() const {
    const std::string base = LangText("Aktuelle Frage", "Current question");
    if (level_ == kNone || !hasCurrent_) return base;
    // The level of the question on screen (the nearest level may stand in
    // for an exhausted one).
    switch (std::clamp(current_.level, 0, kNumLevels - 1)) {
    case 0: return base + " - " + LangText("Einfach", "Easy");
    case 1: return base + " - " + LangText("Etwas anspruchsvoller", "Somewhat harder");
    default: return base + " - " + LangText("Schwer", "Hard");
    }
}

void Round::ClearSelection() {
    if (selected_ != kNone) shade_[static_cast<size_t>(selected_)] = Shade::White;
    selected_ = kNone;
    doAnswerEnabled_ = false;
}

void Round::SelectAnswer(int index) {
    if (answered_ || !open_ || index < 0 || index >= kNumAnswers) return;
    if (!answerVisible_[static_cast<size_t>(index)]) return;
    ClearSelection();
    selected_ = index;
    shade_[static_cast<size_t>(index)] = Shade::Selected;
    doAnswerEnabled_ = true;
    Changed(false);
}

void Round::DoAnswer() {
    if (!open_ || answered_) return;
    Errors::Assert(selected_ != kNone, "DoAnswer_Click selected");
    if (selected_ == kNone) return;
    ShowQuestion(true);
    shade_[static_cast<size_t>(current_.correct)] = Shade::Right;
    const bool right = selected_ == current_.correct;
    rightShown_ = right;
    wrongShown_ = !right;
    lastRight_ = right;
    ++questionNumber_;
    if (right) ++rightAnswers_;
    answered_ = true;
    open_ = false;
    doNextEnabled_ = true;
    doAnswerEnabled_ = false;
    SetClock(false);
    Changed(true);
}

void Round::ExecJoker(int slot) {
    if (!open_ || slot < 0 || slot >= kNumJokerSlots) return;
    const size_t s = static_cast<size_t>(slot);
    if (!jokerEnabled_[s] && jokers_[s] != kNoJoker) return;  // used
    switch (jokers_[s]) {
    case kFiftyFifty: {
        if (fiftyUsed_) return;  // once per question; the joker stays
        std::vector<int> wrong;
        for (int i = 0; i < kNumAnswers; ++i)
            if (answerVisible_[static_cast<size_t>(i)] && i != current_.correct) wrong.push_back(i);
        // Two of the visible wrong answers, each as likely as the others.
        for (int hidden = 0; hidden < 2 && !wrong.empty(); ++hidden) {
            const size_t k = static_cast<size_t>(RandomInt(static_cast<int>(wrong.size())));
            answerVisible_[static_cast<size_t>(wrong[k])] = false;
            if (selected_ == wrong[k]) ClearSelection();
            wrong.erase(wrong.begin() + static_cast<std::ptrdiff_t>(k));
        }
        fiftyUsed_ = true;
        jokerEnabled_[s] = false;
        Changed(false);
        return;
    }
    case kNextQuestion:
        // Without another question the joker does nothing and stays.
        if (!NextQuestion()) return;
        // The replacement counts as the same question: its number, the
        // counters and a 50-50 used on it stay. The selection does not, as
        // it would point at an answer the player never saw.
        ClearSelection();
        jokerEnabled_[s] = false;
        Changed(true);
        return;
    case kNoJoker: break;
    }
    Errors::Assert(false, "ExecJoker type");
}

void Round::Tick() {
    if (!clockRunning_ || ended()) return;
    secondsLeft_ = std::max(secondsLeft_ - 1, 0);
    timeText_ = TimeText(secondsLeft_);
    if (secondsLeft_ < 1) {
        EndRound(EndReason::TimeUp);
        return;
    }
    Changed(false);
}

void Round::SetClock(bool running) {
    if (clockRunning_ == running) return;
    clockRunning_ = running;
    if (listener_) listener_->ClockChanged(running);
}

void Round::EndRound(EndReason reason) {
    if (ended()) return;
    // The clock stops first: the message below waits for the player while
    // the timer's events still run.
    SetClock(false);
    reason_ = reason;
    answered_ = true;
    open_ = false;
    doAnswerEnabled_ = doNextEnabled_ = false;
    if (hasCurrent_) ShowQuestion(true);
    Changed(true);
    GenMsg::ShowMsg(GenMsg::GMquizEnded, GenMsg::kInformation, EndReasonText(reason));
}

void Round::Changed(bool texts) {
    if (listener_) listener_->RoundChanged(texts);
}

}  // namespace QuizRound
