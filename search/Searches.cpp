#include "Searches.h"

#include <algorithm>

#include "Atom.h"
#include "Basic.h"
#include "DataBase.h"
#include "Errors.h"
#include "ExampleMode.h"
#include "FlexString.h"
#include "GenMsg.h"
#include "LowLevel.h"
#include "Options.h"
#include "Parser.h"
#include "ResultSet.h"
#include "Services.h"
#include "Cp1252.h"
#include "CountText.h"
#include "ListMaking.h"
#include "TextConstants.h"

namespace Searches {

namespace {

// Module state.
Env env;
std::unique_ptr<FlexString> sharedSpelling;  // reused for every candidate of pass 2
int lastDistance = 0;

FlexString& SharedSpelling() {
    if (!sharedSpelling) sharedSpelling = std::make_unique<FlexString>();
    return *sharedSpelling;
}

// --- the few database reads the engine makes --------------------------------

// The number of ids to scan.
long long AtomCount() {
    return std::min<long long>(DataBase::numAtoms, static_cast<long long>(DataBase::atomTab.size()));
}

// The atom of an id, null outside the table.
atom* AtomById(long long id) {
    if (id < 0 || id >= AtomCount()) return nullptr;
    return DataBase::atomTab[static_cast<size_t>(id)];
}

// The first property of a kind, null when the atom has none (or the kind atom
// is missing from the database).
Prop* FirstProp(atom* a, atom* propKind) {
    if (a == nullptr || propKind == nullptr) return nullptr;
    return a->FirstProp(propKind);
}

bool HasAtomValue(const Prop* p) { return p != nullptr && (p->kind() == 0 || p->kind() == 2); }

bool IsNothing(const atom* a) { return a == nullptr || a == DataBase::nothingAtom; }

constexpr size_t kMaxTypedName = 35;

std::string TrimBlanks(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

}  // namespace

void SetEnv(const Env& e) { env = e; }
const Env& GetEnv() { return env; }

void InitSearches() {
    ListMaking::ResetMarkTags();
    sharedSpelling = std::make_unique<FlexString>();
    Services::ResetBusyDepth();
    lastDistance = 0;
}

// --- combination ---------------------------------------------------------------

void CombineLists(ResultSet& A, ResultSet& B, ResultSet& R, int searchType) {
    switch (searchType) {
    case kAlone:
        if (&R != &B) {
            R.AddAllFrom(B);
        } else {
            ResultSet copy;
            copy.InitInt();
            copy.AddAllFrom(B);
            R.AddAllFrom(copy);
        }
        break;
    case kOr: ListMaking::CombineOr(A, B, R); break;
    case kAnd: ListMaking::CombineAnd(A, B, R); break;
    case kWithout: ListMaking::CombineWithout(A, B, R); break;
    default: Errors::Assert(false, "searchType"); break;
    }
}

namespace {
NameListsWindow* ListManager() {
    if (env.windows == nullptr) return nullptr;
    return dynamic_cast<NameListsWindow*>(env.windows->FormByName(WindowNames::kNameLists));
}
}  // namespace

void NewRes(const std::string& title, ResultSet& rs, int searchType) {
    Errors::LogEntry("Searches", "NewRes", CountText::ResultSizeText(rs) + title);
    NameListsWindow* lists = ListManager();
    Errors::Assert(lists != nullptr, "NewRes NameLists");
    if (lists == nullptr) return;
    std::shared_ptr<ResultSet> R = lists->CreateResultSet(title);
    if (!R) return;
    std::shared_ptr<ResultSet> A = lists->current();
    if (!A) {
        A = std::make_shared<ResultSet>();
        A->InitInt();
    }
    CombineLists(*A, rs, *R, searchType);
    lists->NewRes(R);
}

std::shared_ptr<ResultSet> GetListsCurrent() {
    NameListsWindow* lists = ListManager();
    return lists != nullptr ? lists->current() : nullptr;
}

// --- lookup of a typed name ----------------------------------------------------

std::string StripArticle(const std::string& key, bool* stripped) {
    if (stripped != nullptr) *stripped = false;
    std::string first4 = Basic::Left(key, 4);
    if (first4 == "DIE " || first4 == "DER " || first4 == "DAS " || first4 == "THE ") {
        if (stripped != nullptr) *stripped = true;
        return Basic::Mid(key, 5);
    }
    if (Basic::Left(key, 3) == "TO ") {
        if (stripped != nullptr) *stripped = true;
        return Basic::Mid(key, 4);
    }
    return key;
}

bool IsSimilarSpelling(FlexString& search, const std::string& candidate) {
    const int limit = candidate.size() < 5 ? 1 : 2;
    // A length that differs by more than the limit is too far already; most
    // names are, so they are not even copied.
    const int lengthDiff = static_cast<int>(candidate.size()) - search.StrLen();
    if (lengthDiff > limit || -lengthDiff > limit) {
        lastDistance = limit + 1;
        return false;
    }
    FlexString& cand = SharedSpelling();
    cand.Init(candidate);
    lastDistance = search.Distance(cand, limit);
    return lastDistance <= limit;
}

int LastDistance() { return lastDistance; }

void SearchName(const std::string& text, int kindA, int kindB, int kindC, ResultSet& rs,
                bool& single, bool& several) {
    ResultSet C;
    C.InitInt();
    several = false;
    bool hadArticle = false;
    const std::string key = StripArticle(Parser::MakeUpperKey(text), &hadArticle);

    // Pass 1: the exact text.
    const std::string exactReason = Basic::Str(0) + "  ";
    for (long long id = 0, n = AtomCount(); id < n; ++id) {
        atom* a = DataBase::atomTab[static_cast<size_t>(id)];
        if (a == nullptr || a->Uppercase() != key) continue;
        const int k = a->kind();
        if (k == kindA || k == kindB) {
            rs.AddResult(a->Text(), exactReason, a);
        } else if (k == kindC) {
            C.AddResult(a->Text(), exactReason, a);
        }
    }
    if (rs.numLines() == 0) rs.AddAllFrom(C);
    single = rs.numLines() == 1;
    if (rs.numLines() > 0) {
        if (Examples::exampleMode) single = true;
        several = !single;
        return;
    }

    // Pass 2: the same sound, then a similar spelling. The sound key is taken
    // as the atoms' keys are: with the article dropped, so "The Anna" sounds
    // like "Anna".
    Services::HourglassOn();
    FlexString search(key);
    std::string sound = Parser::MakeSoundKey(text);
    if (hadArticle) {
        size_t blank = sound.find(' ');
        if (blank != std::string::npos) sound = sound.substr(blank + 1);
    }
    const std::string soundReason = Basic::Str(1) + "  ";
    for (long long id = 0, n = AtomCount(); id < n; ++id) {
        atom* a = DataBase::atomTab[static_cast<size_t>(id)];
        if (a == nullptr) continue;
        const int k = a->kind();
        if (k != kindC && k != kindA && k != kindB) continue;
        if (a->Soundex() == sound) {
            rs.AddResult(a->Text(), soundReason, a);
        } else if (IsSimilarSpelling(search, a->Uppercase())) {
            rs.AddResult(a->Text(), Basic::Str(2) + Basic::Str(lastDistance), a);
        }
    }
    rs.Sort(6);
    Services::HourglassOff();
}

void LocateName(std::string& text, int kindA, int kindB, AtomShower* window) {
    text = TrimBlanks(Basic::Left(TrimBlanks(text), kMaxTypedName));
    if (text.empty()) return;
    const int kindC = (kindA == 0 || kindA == 1) ? 4 : 9999;

    auto rs = std::make_shared<ResultSet>();
    rs->InitInt();
    bool single = false, several = false;
    SearchName(text, kindA, kindB, kindC, *rs, single, several);

    if (single) {
        atom* a = rs->atom(0);
        if (a != nullptr && a->kind() == 4) {
            // A unique old form stands for its group.
            Prop* p = FirstProp(a, DataBase::prGenName);
            Errors::Assert(HasAtomValue(p) && !IsNothing(p->atomVal()), "LocateName prGenName");
            if (!HasAtomValue(p) || IsNothing(p->atomVal())) return;
            a = p->atomVal();
        }
        if (window != nullptr && a != nullptr) window->ShowAtom(a);
        return;
    }
    if (rs->numLines() > 0) {
        SimilarWindow* similar = nullptr;
        if (env.windows != nullptr) {
            similar = dynamic_cast<SimilarWindow*>(env.windows->OpenForm(WindowNames::kSimilar));
        }
        Errors::Assert(similar != nullptr, "LocateName Similar");
        if (similar != nullptr) similar->ShowSet(text, window, rs, several);
        return;
    }
    GenMsg::ShowMsg(GenMsg::GMnothingFound, 1, text);
    if (!Options::UserNamesInfo) {
        GenMsg::ShowMsg(GenMsg::GMuserNames, 3, "");
        Options::UserNamesInfo = true;
    }
}

// --- links -------------------------------------------------------------------------

void FollowLink(const std::string& idText, std::shared_ptr<ResultSet> set, atom* nameAtom) {
    const double id = Basic::Val(idText);
    if (id >= 40000) {
        LowLevel::ShowDescrHelp(Basic::CLng(id));
        return;
    }
    atom* a = AtomById(Basic::CLng(id));
    Errors::Assert(a != nullptr, "FollowLink " + idText);
    if (a == nullptr || a == DataBase::nothingAtom) return;  // a deleted atom: nothing to show

    auto open = [](const char* name) -> ChildWindow* {
        return env.windows != nullptr ? env.windows->OpenForm(name) : nullptr;
    };
    auto show = [&](const char* name) {
        auto* w = dynamic_cast<AtomShower*>(open(name));
        Errors::Assert(w != nullptr, std::string("FollowLink ") + name);
        if (w != nullptr) w->ShowAtom(a);
    };

    switch (a->kind()) {
    case 8: show(WindowNames::kOrigLang); break;
    case 7: show(WindowNames::kOrigWord); break;
    case 9: show(WindowNames::kNameDays); break;
    case 6: show(WindowNames::kRealm); break;
    case 10:
    case 11: {
        auto* w = dynamic_cast<PopWindow*>(open(WindowNames::kPop));
        Errors::Assert(w != nullptr, "FollowLink Pop");
        if (w != nullptr) w->ShowAtom(a, nameAtom);
        break;
    }
    case 12: {
        Prop* p = FirstProp(a, DataBase::prRelatedTo);
        Errors::Assert(p != nullptr, "FollowLink prRelatedTo");
        if (p != nullptr) LowLevel::ShellOpenOrShow(p->strVal());
        break;
    }
    default: {
        auto* w = dynamic_cast<SingleNameWindow*>(open(WindowNames::kSingleName));
        Errors::Assert(w != nullptr, "FollowLink SingleName");
        if (w != nullptr) w->ShowAtomInSet(a, set, true);
        break;
    }
    }
}

// --- helpers ---------------------------------------------------------------------

int RadioIndex(bool opt0, bool opt1, bool opt2) {
    if (opt2) return 2;
    if (opt1) return 1;
    return 0;
}

int RadioIndex(const OptionButton& b0, const OptionButton& b1, const OptionButton& b2) {
    return RadioIndex(b0.Value(), b1.Value(), b2.Value());
}

void SetRadio(int index, OptionButton& btn0, OptionButton& btn1, OptionButton& btn2) {
    if (index == 0) btn0.SetValue(true);
    else if (index == 1) btn1.SetValue(true);
    else btn2.SetValue(true);
}

}  // namespace Searches
