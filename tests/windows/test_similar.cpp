// The choice among similar entries, reached through the name window's lookup.
#include <QLabel>

#include "QtText.h"

#include "Atom.h"
#include "FormControls.h"
#include "info/Similar.h"
#include "info/SingleName.h"
#include "ResultViews.h"
#include "WinMan.h"
#include "WindowsFixture.h"

namespace {

class SimilarTest : public WindowsTest {};

TEST_F(SimilarTest, AMisspeltNameOffersSimilarEntriesAndThePickIsShown) {
    SingleName* w = OpenNameWindow();
    Lookup(w, "Janett");
    Similar* s = SimilarWindow();
    ASSERT_NE(s, nullptr);
    auto names = s->names();
    ASSERT_GE(names->numLines(), 1);
    EXPECT_FALSE(s->Control("MultiLabel")->isVisibleTo(s->Client()));
    EXPECT_TRUE(s->Control("SimilarLabel")->isVisibleTo(s->Client()));
    EXPECT_EQ(QtText::FromQt(s->ControlAs<QLabel>("Text")->text()), "Janett");
    int32_t janet = 0;
    ASSERT_TRUE(names->GetAtomIndex(A("naJanet"), janet));
    const std::string line = names->line(janet);
    EXPECT_EQ(line.substr(0, line.find('\t')), "Janet");
    EXPECT_TRUE(line.find("\tsimilar sound\t") != std::string::npos ||
                line.find("\tsimilar spelling 1\t") != std::string::npos)
        << line;
    // Languages in the language colour, the group as a link of its id.
    EXPECT_NE(line.find("\t<c>"), std::string::npos);
    EXPECT_NE(line.find("English"), std::string::npos);
    EXPECT_NE(line.find("<a>" + std::to_string(A("gnJohanna")->id()) + "</a>Joan"), std::string::npos);

    // The view shows the cells without their mark-up.
    auto* view = s->ControlAs<ListView>("Names");
    const auto& row = view->Model()->Rows()[static_cast<size_t>(janet)];
    ASSERT_EQ(row.cells.size(), 4u);
    EXPECT_EQ(row.cells[3].text, "Joan");
    EXPECT_TRUE(row.cells[3].bold);

    // The click on the line: the name window shows it, the choice goes.
    ClickAt(view->viewport(), view->visualRect(view->Model()->index(janet, 0)).center());
    Settle();
    EXPECT_EQ(SimilarWindow(), nullptr);
    EXPECT_EQ(w->curAtom(), A("naJanet"));
    EXPECT_EQ(w->nameHistory().numSets(), 1);
    EXPECT_EQ(w->curBrowseSet(), nullptr);
}

TEST_F(SimilarTest, ANameTwoEntriesShareIsOfferedAsMultiple) {
    SingleName* w = OpenNameWindow();
    Lookup(w, "Andrea");
    Similar* s = SimilarWindow();
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->Control("MultiLabel")->isVisibleTo(s->Client()));
    EXPECT_FALSE(s->Control("SimilarLabel")->isVisibleTo(s->Client()));
    auto names = s->names();
    ASSERT_EQ(names->numLines(), 2);
    for (int i = 0; i < 2; ++i) EXPECT_NE(names->line(i).find("\tmultiple\t"), std::string::npos);
    EXPECT_EQ(names->atom(0)->kind() + names->atom(1)->kind(), 1);  // a male and a female name
    // Closed without a pick: the name window stays as it was.
    s->Unload(UnloadMode::User);
    Settle();
    EXPECT_EQ(SimilarWindow(), nullptr);
    EXPECT_EQ(w->curAtom(), nullptr);
}

TEST_F(SimilarTest, APickReachesANameWindowClosedMeanwhile) {
    SingleName* w = OpenNameWindow();
    Lookup(w, "Andrea");
    Similar* s = SimilarWindow();
    ASSERT_NE(s, nullptr);
    atom* second = s->names()->atom(1);
    w->Unload(UnloadMode::User);
    Settle();
    ASSERT_FALSE(w->IsLoaded());
    s->Pick(1);
    Settle();
    EXPECT_TRUE(w->IsLoaded());
    EXPECT_EQ(w->curAtom(), second);
}

}  // namespace
