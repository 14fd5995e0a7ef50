// The quiz on a full-size generated database (500 questions in each set):
// the quiz window opened offscreen until its first question is shown, and
// the choice of the next question when one question of the level is left
// among the 500.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMdiArea>

#include "DataBase.h"
#include "FullSizeDb.h"
#include "Options.h"
#include "QuizRound.h"
#include "WinMan.h"
#include "windows/lists/Quiz.h"
#include "windows/lists/QuizWindows.h"
#include "WindowBench.h"

namespace {

struct Setup {
    QApplication* app = nullptr;
    QMdiArea* area = nullptr;
};

Setup& TheSetup() {
    static Setup s = [] {
        Setup st;
        st.app = WindowBench::StartApp("bench_quiz");
        Options::SetDefaults();
        Options::QuizUseLimit = false;
        gendb::BuildFullSizeDb();
        st.area = WindowBench::StartWindows();
        QuizWindows::Register();
        return st;
    }();
    return s;
}

void BM_QuizWindowToFirstQuestion(benchmark::State& state) {
    TheSetup();
    WinMan::appClosing = true;  // closing the quiz brings back no options
    for (auto _ : state) {
        WinMan::OpenForm("Quiz");
        QCoreApplication::processEvents();
        state.PauseTiming();
        auto* quiz = dynamic_cast<Quiz*>(Auto::GetForm("Quiz"));
        if (!quiz || !quiz->round().current()) state.SkipWithError("no question shown");
        quiz->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    WinMan::appClosing = false;
}
BENCHMARK(BM_QuizWindowToFirstQuestion)->Unit(benchmark::kMillisecond);

// Two easy questions among 500: the first is served, and a "next question"
// joker makes the walk find the other one.
void BM_NextQuestionOneLeft(benchmark::State& state) {
    TheSetup();
    std::vector<QuizRound::QuizQuestion> questions = QuizRound::GetQuestions(DataBase::seEnglishQuestions);
    for (QuizRound::QuizQuestion& q : questions) q.level = 2;
    questions.front().level = 0;
    questions.back().level = 0;
    state.counters["questions"] = static_cast<double>(questions.size());
    QuizRound::Settings settings;
    settings.useLimit = false;
    settings.numQ = 10;
    settings.numJo5050 = 0;
    settings.numJoNext = 1;
    QuizRound::Round round;
    for (auto _ : state) {
        state.PauseTiming();
        round.Start(settings, questions);
        const std::string first = round.current()->question;
        state.ResumeTiming();
        round.ExecJoker(0);
        state.PauseTiming();
        if (round.current()->question == first) state.SkipWithError("the joker found no other question");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_NextQuestionOneLeft)->Unit(benchmark::kMicrosecond);

}  // namespace
