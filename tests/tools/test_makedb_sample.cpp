// The whole sample source of data/db through the compiler, into a database
// file and back through the program's own reader.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "DataBase.h"
#include "Fakes.h"
#include "MakeDb.h"

using namespace DataBase;

namespace {

class SampleDatabase : public testing::Test {
protected:
    static void SetUpTestSuite() {
        std::vector<std::string> files;
        MakeDb::Failure f;
        ASSERT_TRUE(MakeDb::SourceFiles(SourcePath("data/db"), files, f)) << f.Text();
        MakeDb::Compiler c;
        for (const std::string& file : files) ASSERT_TRUE(c.AddFile(file)) << c.failure().Text();
        ASSERT_TRUE(c.Build()) << c.failure().Text();
        built_ = new MakeDb::Snapshot(MakeDb::TakeSnapshot());
        path_ = testing::TempDir() + "makedb_sample_" + std::to_string(::getpid()) + ".bin";
        ASSERT_TRUE(MakeDb::WriteAndVerify(path_, MakeDb::EditionHeader(true), f)) << f.Text();
    }
    static void TearDownTestSuite() {
        std::remove(path_.c_str());
        delete built_;
        built_ = nullptr;
    }
    // Each test reads the file afresh, as the program does at start-up, with
    // every entry loaded.
    void SetUp() override {
        ASSERT_NE(built_, nullptr);
        InitDataBase();
        DbStatus st = ReadBinFile(path_);
        ASSERT_TRUE(st.ok) << st.detail;
        for (int32_t id = 0; id < numAtoms; ++id)
            if (atomTab[static_cast<size_t>(id)]->LoadedOnDemand()) {
                ASSERT_TRUE(atomTab[static_cast<size_t>(id)]->LoadOnDemand());
            }
    }
    static MakeDb::Snapshot* built_;
    static std::string path_;
};

MakeDb::Snapshot* SampleDatabase::built_ = nullptr;
std::string SampleDatabase::path_;

}  // namespace

TEST_F(SampleDatabase, ReaderGetsEveryDerivedValueTheCompilerComputed) {
    MakeDb::Snapshot read = MakeDb::TakeSnapshot();
    ASSERT_EQ(read.atoms.size(), built_->atoms.size());
    for (size_t i = 0; i < read.atoms.size(); ++i) EXPECT_TRUE(read.atoms[i] == built_->atoms[i]) << built_->atoms[i].name;
    EXPECT_EQ(read.names, built_->names);
    EXPECT_EQ(read.ids, built_->ids);
    EXPECT_TRUE(std::equal(std::begin(read.counts), std::end(read.counts), std::begin(built_->counts)));
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
}

namespace {

std::string Str(const atom* a, const atom* kind) {
    Prop* p = a->FirstProp(kind);
    return p ? std::string(p->strVal()) : std::string();
}

}  // namespace

// What the name window and the searches rely on for every name: a group of
// the name's own gender, a language of use, and an origin entry with a
// language of origin and a meaning in both languages ("unclear" counts).
TEST_F(SampleDatabase, EveryNameHasGroupGenderLanguagesAndMeaning) {
    int names = 0;
    for (int32_t id = 0; id < numAtoms; ++id) {
        const atom* a = atomTab[static_cast<size_t>(id)];
        if (!a || !a->isName()) continue;
        ++names;
        SCOPED_TRACE(std::string(a->name()));
        Prop* g = a->FirstProp(prGenName);
        ASSERT_NE(g, nullptr);
        const atom* group = g->atomVal();
        EXPECT_EQ(group->kind(), a->kind() + 2) << std::string(group->name());
        EXPECT_NE(a->FirstProp(prLang), nullptr);
        Prop* o = group->FirstProp(prOrigin);
        ASSERT_NE(o, nullptr) << std::string(group->name());
        const atom* origin = o->atomVal();
        EXPECT_EQ(origin->kind(), 5);
        EXPECT_NE(origin->FirstProp(prLang), nullptr) << std::string(origin->name());
        EXPECT_FALSE(Str(origin, prGerman).empty()) << std::string(origin->name());
        EXPECT_FALSE(Str(origin, prEnglish).empty()) << std::string(origin->name());
    }
    EXPECT_GT(names, 1000);
}

// A quiz question on what a name means is answered by its group's own meaning
// (the group is the first link of the question's explanation), so that a
// meaning mended in the groups cannot leave the quiz answering the old one.
TEST_F(SampleDatabase, QuizMeaningQuestionsAnswerWithTheGroupsMeaning) {
    int asked = 0;
    for (int32_t id = 0; id < numAtoms; ++id) {
        const atom* q = atomTab[static_cast<size_t>(id)];
        if (!q || q->FirstProp(prQuestion) == nullptr) continue;
        const std::string question = Str(q, prQuestion);
        const bool english = q->HasProp(prMemberOf, seEnglishQuestions);
        if (question.rfind(english ? "What does the name " : "Was bedeutet der Name ", 0) != 0) continue;
        ++asked;
        SCOPED_TRACE(std::string(q->name()));
        const std::string descr = Str(q, prDescr);
        const size_t open = descr.find("<a>"), close = descr.find("</a>");
        ASSERT_TRUE(open != std::string::npos && close != std::string::npos) << descr;
        atom* group = GetAtom(descr.substr(open + 3, close - open - 3));
        ASSERT_NE(group, nothingAtom) << descr;
        Prop* o = group->FirstProp(prOrigin);
        ASSERT_NE(o, nullptr);
        const std::string meaning = Str(o->atomVal(), english ? prEnglish : prGerman);
        EXPECT_NE(meaning.find(Str(q, prAnswer)), std::string::npos) << Str(q, prAnswer) << " / " << meaning;
    }
    EXPECT_GT(asked, 20);
}

// The 2020 US ranking holds the top 100 of each gender, each rank once and in
// order, each name of the parade's gender.
TEST_F(SampleDatabase, UsRankingOf2020HoldsTheTopHundredOfEachGender) {
    for (const auto& [parade, nameKind] : {std::pair<const char*, int>{"poUs2020M", 0}, {"poUs2020F", 1}}) {
        SCOPED_TRACE(parade);
        atom* po = GetAtom(parade);
        ASSERT_NE(po, nothingAtom);
        int rank = 0;
        for (Prop* p : po->props()) {
            if (p->proper() != prPop) continue;
            ++rank;
            EXPECT_EQ(std::string(p->strVal()), std::to_string(rank));
            EXPECT_EQ(p->atomVal()->kind(), nameKind) << std::string(p->atomVal()->name());
        }
        EXPECT_EQ(rank, 100);
    }
}

// Groups a user meets first: the getting-started window's example group and
// the double names, whose groups point at the two groups they join.
TEST_F(SampleDatabase, ExampleGroupAndDoubleNamesAreThere) {
    struct Case {
        const char* group;
        std::vector<std::string> names;
        std::vector<const char*> joins;
    };
    const Case cases[] = {
        {"gnTheodor", {"Theodor", "Theo", "Theodore", "Teddy", "Th\xe9odore", "Fjodor"}, {}},
        {"gnAnnaLena", {"Anna-Lena"}, {"gnAnna", "gnHelene"}},
        {"gnHansPeter", {"Hans-Peter"}, {"gnJohannes", "gnPeter"}},
        {"gnMarieLuise", {"Marie-Luise"}, {"gnMaria", "gnLouise"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.group);
        atom* g = GetAtom(c.group);
        ASSERT_NE(g, nothingAtom);
        std::vector<std::string> names;
        for (Prop* p : g->props())
            if (p->proper() == prNameVariant && p->atomVal()->isName()) names.push_back(Str(p->atomVal(), prText));
        EXPECT_EQ(names, c.names);
        for (const char* j : c.joins) EXPECT_TRUE(g->HasProp(prRelatedTo, GetAtom(j))) << j;
        EXPECT_NE(g->FirstProp(prOrigin), nullptr);
    }
}

// A spelling variant inherits its main entry's statements; the entries they
// point at list the variant as well, so every paired property of the file has
// its partner.
TEST_F(SampleDatabase, EveryPairedPropertyHasItsPartnerAlsoForInheritedOnes) {
    auto has = [](const char* x, const char* kind, const char* y) {
        return GetAtom(x)->HasProp(GetAtom(kind), GetAtom(y));
    };
    // Sonia inherits "pet form of Sofia" from Sonja, Claus "short form of
    // Nikolaus" from Klaus.
    EXPECT_TRUE(has("naSonia", "prDimNameOf", "naSofia"));
    EXPECT_TRUE(has("naSofia", "prDimName", "naSonia"));
    EXPECT_TRUE(has("naClaus", "prShortOf", "naNikolaus"));
    EXPECT_TRUE(has("naNikolaus", "prShort", "naClaus"));

    int missing = 0;
    for (int32_t id = 0; id < numAtoms; ++id) {
        atom* x = atomTab[static_cast<size_t>(id)];
        for (const MakeDb::KindPair& kp : MakeDb::Pairs()) {
            atom* a = GetAtom(kp.a);
            atom* b = GetAtom(kp.b);
            if (a == nothingAtom || b == nothingAtom) continue;
            for (const Prop* p : x->props()) {
                if (p->kind() == 1) continue;
                if (p->proper() == a && !p->atomVal()->HasProp(b, x)) {
                    ADD_FAILURE() << p->atomVal()->name() << " lacks " << kp.b << " " << x->name();
                    if (++missing > 10) return;
                }
            }
        }
    }
}
