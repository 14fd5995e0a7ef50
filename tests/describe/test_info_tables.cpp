// The tables of the information windows: names by letter and saints on the
// sample database, topics, languages and words on small databases built
// here, each in both text languages where the texts differ.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Cp1252.h"
#include "InfoTables.h"
#include "ListTestSupport.h"
#include "ResultSet.h"
#include "SampleDb.h"
#include "Searches.h"

namespace {

std::vector<std::string> Reasons(const ResultSet& rs) {
    std::vector<std::string> v;
    for (int32_t i = 0; i < rs.numLines(); ++i) v.push_back(rs.reason(i));
    return v;
}
bool Has(const std::vector<std::string>& v, const std::string& s) { return std::find(v.begin(), v.end(), s) != v.end(); }

// --- the sample database ---------------------------------------------------------------

class SampleTables : public SampleDbTest {
protected:
    void SetUp() override {
        SampleDbTest::SetUp();
        table.InitInt();
    }
    ResultSet table;
};

TEST_F(SampleTables, AccentedCapitalsCountUnderTheirLetter) {
    const struct {
        std::string text;
        int index;
    } cases[] = {{"\xc4nne", 0}, {"\xc1gnes", 0}, {"\xc9mile", 4}, {"Zoe", 25}, {"anna", -1}, {"'Ali", -1}, {"", -1}};
    for (const auto& c : cases) EXPECT_EQ(InfoTables::LetterIndexOf(c.text), c.index) << c.text;

    InfoTables::FillLetter(table, 0, false, true);
    const auto a = Texts(table);
    EXPECT_TRUE(Has(a, "\xc4nne") && Has(a, "\xc1gnes") && Has(a, "Agnes"));
    for (int32_t i = 0; i < table.numLines(); ++i) EXPECT_EQ(table.atom(i)->kind(), 1) << table.line(i);
    InfoTables::FillLetter(table, 4, true, true);
    EXPECT_TRUE(Has(Texts(table), "\xc9mile"));
}

TEST_F(SampleTables, GenderChoicesAddUpAndEmptyLettersSayNothing) {
    InfoTables::FillLetter(table, 12, true, false);
    const int32_t male = table.numLines();
    InfoTables::FillLetter(table, 12, false, true);
    const int32_t female = table.numLines();
    InfoTables::FillLetter(table, 12, true, true);
    EXPECT_GT(male, 0);
    EXPECT_GT(female, 0);
    EXPECT_EQ(table.numLines(), male + female);

    // Quinn fills Q; no name of the sample starts with U.
    InfoTables::FillLetter(table, 20, true, true);
    EXPECT_EQ(table.numLines(), 0);
    EXPECT_EQ(InfoTables::LetterCaption(table, 20), "Nothing with 'U'");
    EXPECT_EQ(InfoTables::LetterTitle(10), " starting with 'K'");
}

TEST_F(SampleTables, SaintsByDateEndOnNewYearsEveAndComeBackInLoadOrder) {
    const struct {
        int day, month;
        std::string key;
    } keys[] = {{5, 1, "0105"}, {31, 12, "1231"}, {123, 1, "01123"}, {0, 3, "0300"}};
    for (const auto& k : keys) EXPECT_EQ(InfoTables::SaintKey(k.day, k.month), k.key);

    const auto byDate = InfoTables::GatherSaints(true);
    ASSERT_GT(byDate.size(), 2u);
    EXPECT_EQ(byDate.back().saint, A("saSylvester"));
    EXPECT_EQ(byDate.back().key, "1231");
    EXPECT_EQ(byDate.front().key.substr(0, 2), "01");
    for (size_t i = 1; i < byDate.size(); ++i) EXPECT_LE(byDate[i - 1].key, byDate[i].key);

    // date, name, date: the same order as the first time
    InfoTables::FillSaints(table, true);
    const auto first = Texts(table);
    InfoTables::FillSaints(table, false);
    EXPECT_NE(Texts(table), first);
    InfoTables::FillSaints(table, true);
    EXPECT_EQ(Texts(table), first);
    EXPECT_EQ(table.reason(table.numLines() - 1), "December 31");
    EXPECT_EQ(InfoTables::SaintsCaption(table.numLines()), std::to_string(byDate.size()) + " saints");

    SetTextLanguage(0);
    InfoTables::FillSaints(table, true);
    EXPECT_EQ(table.reason(table.numLines() - 1), "31. Dezember");
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
}

TEST_F(SampleTables, ForeignAndOwnWordsFindTheirRelatedWordsAndNames) {
    atom* hagnos = A("woGrHagnos");
    atom* pure = A("woEnPure");
    ResultSet rel, names;
    rel.InitInt();
    names.InitInt();

    // A foreign word: itself never among its related words; alone it finds
    // only its own groups, with all words also those of katharos.
    InfoTables::FillRelatedWords(hagnos, rel);
    int32_t at = 0;
    EXPECT_FALSE(rel.GetAtomIndex(hagnos, at));
    EXPECT_TRUE(rel.GetAtomIndex(A("woGrKatharos"), at));
    EXPECT_TRUE(rel.GetAtomIndex(pure, at));
    InfoTables::FillWordNames(hagnos, rel, false, false, names);
    EXPECT_EQ(Texts(names), (std::vector<std::string>{"Agnes"}));
    EXPECT_EQ(Reasons(names), (std::vector<std::string>{"hagnos"}));
    InfoTables::FillWordNames(hagnos, rel, true, false, names);
    EXPECT_TRUE(names.GetAtomIndex(A("gnKatharina"), at));
    EXPECT_EQ(names.reason(at), "katharos");
    EXPECT_EQ(InfoTables::WordListTitle(hagnos, false), " for word 'hagnos' (Ancient Greek) = pure");

    // A word of the text language: always every related word.
    InfoTables::FillRelatedWords(pure, rel);
    EXPECT_FALSE(rel.GetAtomIndex(pure, at));
    InfoTables::FillWordNames(pure, rel, false, false, names);
    EXPECT_TRUE(names.GetAtomIndex(A("gnAgnes"), at) && names.GetAtomIndex(A("gnKatharina"), at));
    EXPECT_EQ(InfoTables::WordListTitle(pure, false), " for all words related to 'pure' (English)");

    // With German texts the phrase is German and the translation too.
    SetTextLanguage(0);
    const std::string german = InfoTables::WordListTitle(hagnos, true);
    EXPECT_EQ(german.rfind(" zu allen W\xf6rtern verwandt mit 'hagnos' (", 0), 0u) << german;
    EXPECT_EQ(german.substr(german.size() - 7), " = rein");
}

TEST(WordTitles, TheAllWordsPhraseIsKnownInEitherLanguage) {
    const struct {
        int lang;
        std::string title;
        bool all;
    } cases[] = {
        {1, "3 groups for all words related to 'pure' (English)", true},
        {1, "1 group for word 'hagnos' (Ancient Greek) = pure", false},
        {0, "3 Gruppen zu allen W\xf6rtern verwandt mit 'rein' (Deutsch)", true},
        {0, "1 Gruppe zu Wort 'hagnos' (Altgriechisch) = rein", false},
    };
    for (const auto& c : cases) {
        SetTextLanguage(c.lang);
        EXPECT_EQ(InfoTables::IsAllWordsTitle(c.title), c.all) << c.title;
    }
    SetTextLanguage(1);
}

// --- small databases ---------------------------------------------------------------------

class SmallTables : public testing::Test {
protected:
    void SetUp() override {
        SetTextLanguage(1);
        Searches::InitSearches();
        for (ResultSet* rs : {&a, &b, &c}) rs->InitInt();
    }
    void TearDown() override { SetTextLanguage(1); }
    // A relation written both ways, as the compiler writes it.
    void Both(atom* x, const std::string& kind, atom* y, const std::string& inverse) {
        db.With(x, kind, y);
        db.With(y, inverse, x);
    }
    atom* Lang(const std::string& name, const std::string& text, const std::string& abbrev) {
        atom* l = db.Add(name, text);
        db.StrProp(l, "prAbbrevE", abbrev);
        Both(l, "prMemberOf", db.K("seLanguages"), "prMember");
        return l;
    }
    atom* Word(const std::string& name, const std::string& text, atom* lang) {
        atom* w = db.Add(name, text);
        Both(w, "prLang", lang, "prLangOf");
        Both(w, "prMemberOf", db.K("seWords"), "prMember");
        return w;
    }
    atom* Entry(const std::string& name, atom* group) {
        atom* e = db.Add(name, group->Text());
        Both(e, "prMemberOf", db.K("seOrigins"), "prMember");
        Both(group, "prOrigin", e, "prOriginOf");
        return e;
    }
    TestDb db;
    ResultSet a, b, c;
};

TEST_F(SmallTables, ALanguageTableCoversTheWholeFamilyInFamilyOrder) {
    atom* english = Lang("laEnglish", "English", "Eng");
    atom* root = Lang("laRoot", "Root", "Rt");
    atom* mid = Lang("laMid", "Middle", "Md");
    atom* leaf = Lang("laLeaf", "Leaf", "Lf");
    Both(root, "prSubset", mid, "prSubsetOf");
    Both(mid, "prSubset", leaf, "prSubsetOf");
    atom* g = db.Group("gnIda", "Ida", false);
    Both(Entry("orIdaLeaf", g), "prLang", leaf, "prLangOf");
    Both(Entry("orIdaRoot", g), "prLang", root, "prLangOf");
    atom* ida = db.Name("naIda", "Ida", g);
    Both(ida, "prLang", mid, "prLangOf");
    Both(ida, "prLang", leaf, "prLangOf");
    atom* translated = Word("woMidKnown", "kenn", mid);
    Both(translated, "prEnglish", Word("woEnKnow", "know", english), "prTranslationE");
    Word("woMidBare", "bare", mid);  // no translation: left out
    atom* own = db.Add("woOwnMid", "own");
    Both(own, "prLang", english, "prLangOf");
    Both(own, "prLang", mid, "prLangOf");
    Both(own, "prMemberOf", db.K("seWords"), "prMember");
    db.Finish();

    DataBase::CollectLangFamily(root);
    EXPECT_EQ(DataBase::subLangs, (std::vector<atom*>{leaf, mid, root}));
    InfoTables::FillLanguage(root, a, b, c);
    EXPECT_EQ(Texts(a), (std::vector<std::string>{"Ida", "Ida"}));
    EXPECT_EQ(Reasons(a), (std::vector<std::string>{"Lf", "Rt"}));
    EXPECT_EQ(Texts(b), (std::vector<std::string>{"Ida"}));
    EXPECT_EQ(Reasons(b), (std::vector<std::string>{"Lf"}));
    EXPECT_EQ(Texts(c), (std::vector<std::string>{"kenn\tknow", "own\t"}));
    EXPECT_EQ(a.pureTitle(), " with Root as language of origin");
    EXPECT_EQ(b.pureTitle(), " with Root as language of use");

    // A leaf alone has no family beyond itself.
    InfoTables::FillLanguage(leaf, a, b, c);
    EXPECT_EQ(Reasons(a), (std::vector<std::string>{"Lf"}));
    EXPECT_EQ(c.numLines(), 0);
}

TEST_F(SmallTables, ATopicListsGroupsPerEntryAndThroughTranslationsOnce) {
    atom* english = Lang("laEnglish", "English", "Eng");
    atom* german = Lang("laGerman", "German", "Ger");
    atom* latin = Lang("laLatin", "Latin", "Lat");
    atom* topic = db.Add("toBeasts", "Beasts");
    Both(topic, "prMemberOf", db.K("seRealms"), "prMember");
    atom* ursula = db.Group("gnUrsula", "Ursula", false);
    Both(Entry("orUrsulaA", ursula), "prMemberOf", topic, "prMember");
    Both(Entry("orUrsulaB", ursula), "prMemberOf", topic, "prMember");
    Both(db.Name("naBruin", "Bruin", db.Group("gnBruin", "Bruin", true)), "prMemberOf", topic, "prMember");
    atom* zebra = Word("woEnZebra", "Zebra", english);
    atom* bee = Word("woEnBee", "bee", english);
    atom* bear = Word("woDeBaer", "B\xe4r", german);
    for (atom* w : {zebra, bee, bear}) Both(w, "prMemberOf", topic, "prMember");
    // Foreign words whose translations are topic words lead to more groups.
    atom* apis = Word("woLaApis", "apis", latin);
    Both(apis, "prEnglish", bee, "prTranslationE");
    atom* ursus = Word("woLaUrsus", "ursus", latin);
    Both(ursus, "prEnglish", bear, "prTranslationE");  // a German word as English translation: still a topic word
    atom* orsino = db.Group("gnOrsino", "Orsino", true);
    atom* melissa = db.Group("gnMelissa", "Melissa", false);
    Both(Entry("orMelissa", melissa), "prRelatedTo", apis, "prRelatedTo");
    Both(Entry("orOrsino", orsino), "prRelatedTo", ursus, "prRelatedTo");
    Both(Entry("orUrsulaC", ursula), "prRelatedTo", ursus, "prRelatedTo");
    db.Finish();
    bear->reason() = "stale";

    InfoTables::FillTopic(topic, a, b);
    EXPECT_EQ(Texts(a), (std::vector<std::string>{"Bruin", "Melissa", "Orsino", "Ursula", "Ursula"}));
    int32_t at = 0;
    ASSERT_TRUE(a.GetAtomIndex(melissa, at));
    EXPECT_EQ(a.reason(at), "Beasts/bee");
    ASSERT_TRUE(a.GetAtomIndex(orsino, at));
    EXPECT_EQ(a.reason(at), "Beasts/B\xe4r");  // the word's own text, not what an earlier search left
    EXPECT_EQ(a.pureTitle(), " for topic Beasts");
    // Words of the text language only, without regard to case.
    EXPECT_EQ(Texts(b), (std::vector<std::string>{"bee", "Zebra"}));
}

TEST_F(SmallTables, AnOwnWordWithoutRelatedWordsStillFindsItsOwnNames) {
    atom* english = Lang("laEnglish", "English", "Eng");
    atom* hope = Word("woEnHope", "hope", english);
    atom* g = db.Group("gnHope", "Hope", false);
    Both(Entry("orHope", g), "prRelatedTo", hope, "prRelatedTo");
    Both(db.Add("naHope", "Hope"), "prGenName", g, "prNameVariant");
    Both(db.Add("naHopie", "Hopie"), "prGenName", g, "prNameVariant");
    db.Finish();

    InfoTables::FillRelatedWords(hope, a);
    EXPECT_EQ(a.numLines(), 0);
    InfoTables::FillWordNames(hope, a, false, false, b);
    EXPECT_EQ(Texts(b), (std::vector<std::string>{"Hope"}));
    InfoTables::FillWordNames(hope, a, false, true, b);
    EXPECT_EQ(Texts(b), (std::vector<std::string>{"Hope", "Hopie"}));
    EXPECT_EQ(Reasons(b), (std::vector<std::string>{"hope", "hope"}));
}

TEST_F(SmallTables, AForeignWordFallsBackToItsGermanTranslationUnderEnglishTexts) {
    atom* english = Lang("laEnglish", "English", "Eng");
    atom* german = Lang("laGerman", "German", "Ger");
    atom* latin = Lang("laLatin", "Latin", "Lat");
    atom* stella = Word("woLaStella", "stella", latin);
    atom* stern = Word("woDeStern", "Stern", german);
    Both(stella, "prGerman", stern, "prTranslation");
    atom* astrum = Word("woLaAstrum", "astrum", latin);
    Both(astrum, "prGerman", stern, "prTranslation");
    (void)english;
    atom* loose = db.Add("woLoose", "loose");
    db.Finish();

    InfoTables::FillRelatedWords(stella, a);
    int32_t at = 0;
    EXPECT_TRUE(a.GetAtomIndex(stern, at));
    EXPECT_TRUE(a.GetAtomIndex(astrum, at));
    EXPECT_FALSE(a.GetAtomIndex(stella, at));
    // A word without a language leaves the language out of its title.
    EXPECT_EQ(InfoTables::FirstLang(loose), nullptr);
    EXPECT_EQ(InfoTables::WordListTitle(loose, false), " for word 'loose'");
}

TEST_F(SmallTables, ASaintWithoutDateIsReportedAndStaysListed) {
    atom* dated = db.Add("saDated", "Dated");
    db.StrProp(dated, "prDedicDay", "5");
    db.StrProp(dated, "prDedicMonth", "1");
    atom* undated = db.Add("saUndated", "Undated");
    for (atom* s : {dated, undated}) Both(s, "prMemberOf", db.K("seSaints"), "prMember");
    db.Finish();
    InfoTables::FillSaints(a, true);
    EXPECT_EQ(Fakes().TakeAsserts(), (std::vector<std::string>{"*** Assert: *** GetSaints dedicDay", "*** Assert: *** GetSaints dedicMonth"}));
    EXPECT_EQ(Texts(a), (std::vector<std::string>{"Undated", "Dated"}));
    EXPECT_EQ(Reasons(a), (std::vector<std::string>{"", "January 5"}));
}

}  // namespace
