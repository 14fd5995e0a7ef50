#include "LangSearch.h"

#include "Atom.h"
#include "DataBase.h"
#include "ResultSet.h"
#include "Searches.h"
#include "TextConstants.h"

using TextConstants::LangText;

namespace Query::LangSearch {

namespace {

// Appends the atom values of each source's properties of kind `proper` whose
// target has kind k1 or k2 (any kind when k1 is negative).
void Collect(const std::vector<atom*>& sources, const atom* proper, int k1, int k2, std::vector<atom*>& out) {
    for (const atom* s : sources) {
        for (const Prop* p : s->props()) {
            if (p->proper() != proper || p->kind() == 1) continue;
            atom* t = p->atomVal();
            if (t == nullptr || t == DataBase::nothingAtom) continue;
            if (k1 < 0 || t->kind() == k1 || t->kind() == k2) out.push_back(t);
        }
    }
}

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
    std::vector<atom*> names;
    const std::vector<atom*> lang{row.lang};
    if (row.code == 2) {
        Collect(lang, DataBase::prLangOf, 0, 1, names);
    } else {
        std::vector<atom*> entries, groups;
        Collect(lang, DataBase::prLangOf, 5, 5, entries);
        Collect(entries, DataBase::prOriginOf, -1, -1, groups);
        Collect(groups, DataBase::prNameVariant, 0, 1, names);
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
            Searches::CombineOr(out, b, out);
        else
            Searches::CombineAnd(out, b, out);
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
