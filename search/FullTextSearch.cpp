#include "FullTextSearch.h"

#include <memory>

#include "Atom.h"
#include "DataBase.h"
#include "ResultSet.h"
#include "SearchInfo.h"
#include "TextConstants.h"

using TextConstants::LangText;

namespace Query {

std::string FullTextSearch::Caption(int code) {
    switch (code) {
    case 1: return LangText("enth\xe4lt die Zeichenfolge", "contains the char sequence");
    case 2: return LangText("enth\xe4lt das Wort", "contains the word");
    case 3: return LangText("enth\xe4lt exakt die Zeichenfolge", "contains exactly the char sequence");
    case 4: return LangText("enth\xe4lt exakt das Wort", "contains exactly the word");
    default: return LangText("(undefiniert)", "(undefined)");
    }
}

std::string FullTextSearch::Template(int code) {
    const std::string exact = LangText(" (exakt so punkto Gross/Klein)", " (with case matching exactly)");
    const std::string seq = LangText("Beschreibung des Namens enth\xe4lt irgendwo die Zeichenfolge #",
                                     "description of the name contains somewhere the char sequence #");
    const std::string word = LangText("Beschreibung des Namens enth\xe4lt irgendwo das Wort #",
                                      "description of the name contains somewhere the word #");
    switch (code) {
    case 1: return seq;
    case 2: return word;
    case 3: return seq + exact;
    case 4: return word + exact;
    default: return {};
    }
}

void FullTextSearch::ExtraText(const atom* entry, std::string& out) {
    out.clear();
    for (const Prop* p : entry->props()) {
        if (p->proper() != DataBase::prRelatedTo || p->kind() == 1) continue;
        const atom* word = p->atomVal();
        if (word == nullptr || word->kind() != 7) continue;
        out += ' ';
        out += word->Text();
        for (const Prop* g : word->props()) {
            if (g->proper() != DataBase::prGerman || g->kind() != 0) continue;
            const atom* german = g->atomVal();
            if (german == nullptr || german->kind() != 7) continue;
            out += ' ';
            out += german->Text();
        }
    }
}

void FullTextSearch::SetRows(const Rows& rows, bool andMode) {
    matchers_.clear();
    for (const Row& r : rows)
        if (Complete(r)) matchers_.emplace_back(r.arg, r.code - 1);
    andMode_ = andMode;
}

bool FullTextSearch::TakeRow(const atom* entry, const Parser::Matcher& m, std::string_view& piece) const {
    const std::size_t len = m.pattern().size();
    for (const Prop* p : entry->props()) {
        if (p->kind() != 1) continue;
        const std::string_view text = p->strVal();
        const int at = m.Find(text);
        if (at >= 0) {
            piece = text.substr(static_cast<std::size_t>(at), len);
            return true;
        }
    }
    const int at = m.Find(extra_);
    if (at < 0) return false;
    piece = std::string_view(extra_).substr(static_cast<std::size_t>(at), len);
    return true;
}

bool FullTextSearch::TakeA(const atom* entry) {
    reason_.clear();
    ExtraText(entry, extra_);
    bool value = andMode_;
    for (const Parser::Matcher& m : matchers_) {
        std::string_view piece;
        const bool hit = TakeRow(entry, m, piece);
        if (hit && (andMode_ || reason_.empty())) {
            if (!reason_.empty()) reason_ += '+';
            reason_.append(piece);
        }
        value = andMode_ ? (value && hit) : (value || hit);
    }
    return value;
}

void FullTextSearch::Search(const Rows& rows, bool andMode, ResultSet& out) {
    SetRows(rows, andMode);
    const int32_t n = DataBase::numAtoms;
    for (int32_t i = 0; i < n; ++i) {
        const atom* a = DataBase::atomTab[static_cast<std::size_t>(i)];
        if (a == nullptr || a->kind() != 5 || !TakeA(a)) continue;
        const Prop* p = a->FirstProp(DataBase::prOriginOf);
        if (p == nullptr || p->kind() == 1) continue;
        atom* g = p->atomVal();
        if (g == nullptr || g == DataBase::nothingAtom) continue;
        out.AddResult(g->Text(), reason_, g);
    }
    auto info = std::make_shared<searchInfo>();
    info->Init();
    for (const Row& r : rows)
        if (Complete(r)) info->SetInfo(r.arg, r.code - 1);
    out.setSearchInfo(info);
}

std::string FullTextSearch::Title(const Rows& rows, bool andMode) {
    std::string title;
    for (const Row& r : rows) {
        if (r.code < 1) continue;
        if (!title.empty()) title += " " + Connective(andMode) + " ";
        title += Caption(r.code) + " '" + r.arg + "'";
    }
    return LangText(" per Volltextsuche: ", " from fulltext search: ") + title;
}

}  // namespace Query
