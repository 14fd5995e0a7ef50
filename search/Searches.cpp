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
#include "TextConstants.h"

namespace Searches {

namespace {

// Module state.
Env env;
int32_t tagCounter = 1;
std::unique_ptr<FlexString> sharedSpelling;  // reused for every candidate of pass 2
int lastDistance = 0;
int busyDepth = 0;

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

// The line's atom is taking part in the membership test: lines without an
// atom belong to no list.
bool LineMarked(ResultSet& rs, int32_t i, int32_t tag) {
    return rs.atom(i) != nullptr && rs.Mark(i) == tag;
}

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
    tagCounter = 1;
    sharedSpelling = std::make_unique<FlexString>();
    busyDepth = 0;
    lastDistance = 0;
}

// --- busy cursor ---------------------------------------------------------------

void HourglassOn() {
    Services::Busy().On();
    ++busyDepth;
}

void HourglassOff() {
    if (busyDepth > 0) --busyDepth;
    if (busyDepth == 0) Services::Busy().Off();
}

int BusyDepth() { return busyDepth; }

// --- combination ---------------------------------------------------------------

void MarkAll(ResultSet& rs, int32_t& tag) {
    tag = tagCounter++;
    for (int32_t i = 0; i < rs.numLines(); ++i) {
        if (rs.atom(i) != nullptr) rs.SetMark(i, tag);
    }
}

namespace {

// The operands of a combination that empties R before reading A and B: an
// operand that is R itself is read from a copy.
struct Operands {
    ResultSet copyA, copyB;
    ResultSet* T;
    ResultSet* S;
    Operands(ResultSet& A, ResultSet& B, const ResultSet& R) : T(&A), S(&B) {
        if (&R == &A) { copyA.InitInt(); copyA.AddAllFrom(A); T = &copyA; }
        if (&R == &B) { copyB.InitInt(); copyB.AddAllFrom(B); S = &copyB; }
    }
};

}  // namespace

void CombineAnd(ResultSet& A, ResultSet& B, ResultSet& R) {
    Operands op(A, B, R);
    R.Reset();
    int32_t tag = 0;
    MarkAll(*op.T, tag);
    for (int32_t i = 0; i < op.S->numLines(); ++i) {
        if (!LineMarked(*op.S, i, tag)) continue;
        int32_t before = R.numLines();
        R.AddFrom(*op.S, i);
        if (R.numLines() == before) continue;  // a unique list refused the line
        // The first operand's reason leads, so that reasons read in the order
        // the lists were joined ("EN" and then "DE" gives "EN+DE").
        int32_t j = before;
        R.setReason(j, op.T->reason(R.markIndex(j)) + "+" + R.reason(j));
    }
}

void CombineOr(ResultSet& A, ResultSet& B, ResultSet& R) {
    ResultSet copyB;
    ResultSet* S = &B;
    if (&R == &B && &B != &A) { copyB.InitInt(); copyB.AddAllFrom(B); S = &copyB; }
    int32_t tag = 0;
    MarkAll(A, tag);
    // B's lines are read before R grows, in case B is A itself.
    const int32_t n = S->numLines();
    std::vector<int32_t> take;
    for (int32_t i = 0; i < n; ++i) {
        if (S->atom(i) == nullptr || S->Mark(i) != tag) take.push_back(i);
    }
    if (&R != &A) {
        R.Reset();
        R.AddAllFrom(A);
    }
    for (int32_t i : take) R.AddFrom(*S, i);
}

void CombineWithout(ResultSet& A, ResultSet& B, ResultSet& R) {
    Operands op(A, B, R);
    R.Reset();
    int32_t tag = 0;
    MarkAll(*op.S, tag);
    for (int32_t i = 0; i < op.T->numLines(); ++i) {
        if (!LineMarked(*op.T, i, tag)) R.AddFrom(*op.T, i);
    }
}

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
    case kOr: CombineOr(A, B, R); break;
    case kAnd: CombineAnd(A, B, R); break;
    case kWithout: CombineWithout(A, B, R); break;
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
    Errors::LogEntry("Searches", "NewRes", ResultSizeText(rs) + title);
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
    HourglassOn();
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
    HourglassOff();
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
        if (p != nullptr) {
            HourglassOn();
            LowLevel::ShellOpen(p->strVal());
            HourglassOff();
        }
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

void CollectPropTargets(const std::vector<atom*>& atoms, long n, atom* propKind, int kind1,
                        int kind2, std::vector<atom*>& out, long& outN) {
    if (propKind == nullptr) return;
    if (outN < 0) outN = 0;
    const long count = std::min<long>(n, static_cast<long>(atoms.size()));
    const bool filtered = kind1 != Basic::kNone || kind2 != Basic::kNone;
    for (long i = 0; i < count; ++i) {
        atom* src = atoms[static_cast<size_t>(i)];
        if (src == nullptr) continue;
        Prop* p = nullptr;
        for (bool found = src->GetFirstProp(propKind, p); found; found = src->GetNextProp(propKind, p)) {
            if (!HasAtomValue(p)) continue;
            atom* target = p->atomVal();
            if (target == nullptr) continue;
            if (filtered) {
                const int k = target->kind();
                if (!((kind1 != Basic::kNone && k == kind1) || (kind2 != Basic::kNone && k == kind2)))
                    continue;
            }
            target->reason() = src->reason();
            if (static_cast<size_t>(outN) >= out.size()) out.resize(static_cast<size_t>(outN) + 1);
            out[static_cast<size_t>(outN)] = target;
            ++outN;
        }
    }
}

std::string CountPhrase(bool isGroup, long n) {
    using TextConstants::LangText;
    std::string s = n == 0 ? LangText(isGroup ? "Keine" : "Kein", "No") : std::to_string(n);
    s += isGroup ? LangText(" Gruppe", " group") : LangText(" Name", " name");
    if (n > 1) s += LangText("n", "s");
    return s;
}

std::string ResultSizeText(const ResultSet& rs) {
    std::string s;
    if (rs.NumNames() > 0) s = CountPhrase(false, rs.NumNames());
    if (rs.numGenNames() > 0) {
        if (!s.empty()) s += "+";
        s += CountPhrase(true, rs.numGenNames());
    }
    if (s.empty()) s = TextConstants::LangText("Nichts", "Nothing");
    return s;
}

std::string WordCountText(long n) {
    using TextConstants::LangText;
    if (n == 0) return LangText("Kein Wort", "No word");
    if (n == 1) return LangText("1 Wort", "1 word");
    return std::to_string(n) + LangText(" W\xF6rter", " words");
}

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
