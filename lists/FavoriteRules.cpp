#include "FavoriteRules.h"

#include "Atom.h"
#include "DataBase.h"
#include "Errors.h"
#include "Parser.h"
#include "ResultSet.h"

namespace FavoriteRules {

atom* FavoriteFor(atom* a) {
    if (a == nullptr) return nullptr;
    if (a->kind() != 2 && a->kind() != 3) return a;
    const std::string text = a->Text();
    Prop* p = nullptr;
    for (bool found = a->GetFirstProp(DataBase::prNameVariant, p); found;
         found = a->GetNextProp(DataBase::prNameVariant, p)) {
        atom* name = p->atomVal();
        if (name != nullptr && name != DataBase::nothingAtom && name->Text() == text) return name;
    }
    Errors::Assert(false, "Favorites.Add group to name");
    return a;
}

AddOutcome Add(ResultSet& table, atom* a) {
    AddOutcome out;
    a = FavoriteFor(a);
    if (a == nullptr) return out;
    int32_t index = 0;
    if (table.GetAtomIndex(a, index)) {
        out.line = index;
        return out;
    }
    if (table.numLines() >= kMaxFavorites) {
        out.full = true;
        return out;
    }
    table.AddResult(a->Text(), "", a);
    out.line = table.numLines() - 1;
    out.added = true;
    return out;
}

std::string Comment(const ResultSet& table, int32_t line) {
    if (line < 0 || line >= table.numLines()) return {};
    const std::string text = table.line(line);
    const std::size_t tab = text.find('\t');
    return tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

std::string NameOf(const ResultSet& table, int32_t line) {
    if (line < 0 || line >= table.numLines()) return {};
    const std::string text = table.line(line);
    return text.substr(0, text.find('\t'));
}

void StoreComment(ResultSet& table, int32_t line, const std::string& comment) {
    if (line < 0 || line >= table.numLines()) return;
    atom* a = table.atom(line);
    const bool known = a != nullptr && a != DataBase::nothingAtom;
    const std::string name = known ? a->Text() : NameOf(table, line);
    table.setFullLine(line, name + "\t" + QuotesToApostrophes(comment));
}

std::string QuotesToApostrophes(std::string text) {
    Parser::ReplaceAll(text, "\"", "'");
    return text;
}

bool FitsTable(const ResultSet& list) { return list.numLines() <= kMaxFavorites; }

}  // namespace FavoriteRules
