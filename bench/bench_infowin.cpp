// The information windows on a full-size generated database, offscreen: the
// fullest letter of the names by alphabet with both genders, the language
// with the largest family, the word with the most related words (all words),
// the topic with the most members, and the saints window's load.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMdiArea>
#include <string>

#include "Atom.h"
#include "DataBase.h"
#include "FormControls.h"
#include "FullSizeDb.h"
#include "InfoTables.h"
#include "Options.h"
#include "ResultSet.h"
#include "Searches.h"
#include "windows/info/Alpha.h"
#include "windows/info/NameDays.h"
#include "windows/info/NameWindows.h"
#include "windows/info/OrigLang.h"
#include "windows/info/OrigWord.h"
#include "windows/info/Realm.h"
#include "WindowBench.h"

namespace {

struct Setup {
    QApplication* app = nullptr;
    QMdiArea* area = nullptr;
    WindowBench::Opener opener;
    int fullestLetter = 0;
    atom* largestFamily = nullptr;
    atom* mostRelated = nullptr;
    atom* largestTopic = nullptr;
    atom* otherTopic = nullptr;
};

int Count(atom* a, atom* kind) { return a ? a->CountProps(kind) : 0; }

Setup& TheSetup() {
    static Setup s = [] {
        Setup st;
        st.app = WindowBench::StartApp("bench_infowin");
        gendb::BuildFullSizeDb();
        Searches::InitSearches();
        st.area = WindowBench::StartWindows();
        NameWindows::Register();
        Searches::SetEnv(Searches::Env{&st.opener});

        int letters[26] = {};
        size_t family = 0;
        int related = -1, members = -1;
        for (int32_t id = 0; id < DataBase::numAtoms; ++id) {
            atom* a = DataBase::atomTab[static_cast<size_t>(id)];
            if (!a) continue;
            if (a->kind() <= 1) {
                const int l = InfoTables::LetterIndexOf(a->Text());
                if (l >= 0) ++letters[l];
            } else if (a->kind() == 8) {
                DataBase::CollectLangFamily(a);
                if (DataBase::subLangs.size() > family) family = DataBase::subLangs.size(), st.largestFamily = a;
            } else if (a->kind() == 7) {
                ResultSet rel;
                rel.InitInt();
                InfoTables::FillRelatedWords(a, rel);
                if (rel.numLines() > related) related = rel.numLines(), st.mostRelated = a;
            } else if (a->kind() == 6) {
                const int n = Count(a, DataBase::prMember);
                if (n > members) {
                    members = n;
                    st.otherTopic = st.largestTopic;
                    st.largestTopic = a;
                } else if (!st.otherTopic) {
                    st.otherTopic = a;
                }
            }
        }
        for (int i = 1; i < 26; ++i)
            if (letters[i] > letters[st.fullestLetter]) st.fullestLetter = i;
        return st;
    }();
    return s;
}

using WindowBench::OpenWindow;

void BM_AlphaFullestLetterAll(benchmark::State& state) {
    Setup& s = TheSetup();
    Options::AlphaGender = 2;
    auto* w = OpenWindow<Alpha>("Alpha");
    for (auto _ : state) w->Letter_Click(s.fullestLetter);
    state.counters["names"] = static_cast<double>(w->names()->numLines());
}
BENCHMARK(BM_AlphaFullestLetterAll)->Unit(benchmark::kMillisecond);

void BM_OrigLangLargestFamily(benchmark::State& state) {
    Setup& s = TheSetup();
    auto* w = OpenWindow<OrigLang>("OrigLang");
    w->ShowAtom(s.largestFamily);
    for (auto _ : state) w->Notify(4, "");  // the same language shown anew
    state.counters["origin"] = static_cast<double>(w->origin()->numLines());
    state.counters["use"] = static_cast<double>(w->use()->numLines());
    state.counters["words"] = static_cast<double>(w->words()->numLines());
}
BENCHMARK(BM_OrigLangLargestFamily)->Unit(benchmark::kMillisecond);

void BM_OrigWordMostRelatedAllWords(benchmark::State& state) {
    Setup& s = TheSetup();
    auto* w = OpenWindow<OrigWord>("OrigWord");
    w->ShowAtom(s.mostRelated);
    for (auto _ : state) w->AllWords_Click();
    state.counters["related"] = static_cast<double>(w->relWords()->numLines());
    state.counters["names"] = static_cast<double>(w->names()->numLines());
}
BENCHMARK(BM_OrigWordMostRelatedAllWords)->Unit(benchmark::kMillisecond);

void BM_RealmLargestTopic(benchmark::State& state) {
    Setup& s = TheSetup();
    auto* w = OpenWindow<Realm>("Realm");
    for (auto _ : state) {
        state.PauseTiming();
        w->ShowAtom(s.otherTopic);  // the topic shown is not built again
        state.ResumeTiming();
        w->ShowAtom(s.largestTopic);
    }
    state.counters["names"] = static_cast<double>(w->names()->numLines());
    state.counters["words"] = static_cast<double>(w->words()->numLines());
}
BENCHMARK(BM_RealmLargestTopic)->Unit(benchmark::kMillisecond);

void BM_NameDaysLoad(benchmark::State& state) {
    TheSetup();
    Options::DaysSortDate = true;
    int saints = 0;
    for (auto _ : state) {
        auto* w = OpenWindow<NameDays>("NameDays");
        saints = w->saints()->numLines();
        w->Unload();
        QApplication::processEvents();
    }
    state.counters["saints"] = saints;
}
BENCHMARK(BM_NameDaysLoad)->Unit(benchmark::kMillisecond);

}  // namespace
