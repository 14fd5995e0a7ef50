#include "LangSearch.h"

#include "Atom.h"
#include "AtomAccess.h"
#include "Basic.h"
#include "DataBase.h"
#include "ListMaking.h"
#include "ResultSet.h"
#include "TextConstants.h"

using ListAtoms::PropTargets;
using TextConstants::LangText;

namespace Query::LangSearch {

namespace {

atom* FirstValue(const atom* a, const atom* proper) {
    const Prop* p = a->FirstProp(proper);
    if (p == nullptr || p->kind() == 1) return nullptr;
    return p->atomVal();
}

}  // namespace

std::string Caption(int code) {
    switch (code) {
    case 1: return LangText("Sprache der Herkunft", "language of origin");
    case 2: return LangText("Sprache des Gebrauchs", "language of use");
    default: return LangText("(undefiniert)", "(undefined)");
    }
}

std::string Template(int code) {
    switch (code) {
    case 1: return LangText("Name stammt urspr\xfcnglich aus der Sprache #", "the original language of the name is #");
    case 2:
        return LangText("Name ist h\xe4ufig in L\xe4ndern, wo man # spricht",
                        "the name is widely used in countries where # is spoken");
    default: return {};
    }
}

bool Complete(const LangRow& row) {
    return (row.code == 1 || row.code == 2) && row.lang != nullptr && row.lang != DataBase::nothingAtom;
}

void SearchOneCond(const LangRow& row, ResultSet& rs) {
    rs.Reset();
    if (!Complete(row)) return;
    const std::vector<atom*> lang{row.lang};
    std::vector<atom*> names;
    if (row.code == 2) {
        names = PropTargets(lang, DataBase::prLangOf, 0, 1);
    } else {
        const std::vector<atom*> entries = PropTargets(lang, DataBase::prLangOf, 5, 5);
        const std::vector<atom*> groups = PropTargets(entries, DataBase::prOriginOf, Basic::kNone, Basic::kNone);
        names = PropTargets(groups, DataBase::prNameVariant, 0, 1);
    }
    const std::string abbrev = DataBase::GetAbbrev(row.lang);
    for (atom* a : names) rs.AddResult(a->Text(), abbrev, a);
}

void Search(const LangRows& rows, bool andMode, ResultSet& out) {
    out.Reset();
    ResultSet b;
    b.InitInt();
    bool joined = false;
    for (const LangRow& row : rows) {
        if (!Complete(row)) continue;
        SearchOneCond(row, b);
        if (!andMode || !joined)
            ListMaking::CombineOr(out, b, out);
        else
            ListMaking::CombineAnd(out, b, out);
        joined = true;
    }
}

std::string Title(const LangRows& rows, bool andMode) {
    std::string title;
    for (const LangRow& row : rows) {
        if (!Complete(row)) continue;
        if (!title.empty()) title += " " + Connective(andMode) + " ";
        title += Caption(row.code) + ": " + row.lang->Text();
    }
    return " " + LangText("mit", "with") + " " + title;
}

atom* SearchExample(const LangRow& row, ExampleRing& ring) {
    if (!Complete(row)) return nullptr;
    atom* last = nullptr;
    const int32_t n = DataBase::numAtoms;
    for (int32_t i = 0; i < n; ++i) {
        const atom* a = DataBase::atomTab[static_cast<std::size_t>(i)];
        if (a == nullptr) continue;
        atom* candidate = nullptr;
        if (row.code == 2) {
            if (!a->isName() || FirstValue(a, DataBase::prLang) != row.lang) continue;
            candidate = const_cast<atom*>(a);
        } else {
            if (a->kind() != 5 || FirstValue(a, DataBase::prLang) != row.lang) continue;
            candidate = FirstValue(a, DataBase::prOriginOf);
            if (candidate == nullptr || candidate == DataBase::nothingAtom) continue;
        }
        last = candidate;
        const std::string text = candidate->Text();
        if (!ring.AlreadyUsed(text)) {
            ring.AddUsed(text);
            return candidate;
        }
    }
    return last;
}

}  // namespace Query::LangSearch
