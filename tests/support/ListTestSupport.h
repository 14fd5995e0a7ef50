// Atoms for the list tests and a recording display binding.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AtomAccess.h"
#include "DataBase.h"
#include "ResultDisplay.h"
#include "ResultSet.h"

// Builds atoms with properties; Finish derives texts, keys and kinds as the
// loader does for atoms from a text file.
struct TestDb {
    TestDb() { DataBase::InitDataBase(); }
    atom* K(const std::string& name) { return DataBase::CreateAtom(name); }  // made on first use
    void AtomProp(atom* a, const std::string& kind, atom* value, const std::string& s = "") {
        a->AddProp(DataBase::FindOrCreateProp(K(kind), value, s, true));
    }
    void StrProp(atom* a, const std::string& kind, const std::string& v) { AtomProp(a, kind, nullptr, v); }
    atom* Add(const std::string& name, const std::string& text) {  // with its display text
        atom* a = K(name);
        if (!text.empty()) StrProp(a, "prText", text);
        return a;
    }
    atom* With(atom* a, const std::string& kind, atom* value) {
        AtomProp(a, kind, value);
        return a;
    }
    atom* Group(const std::string& name, const std::string& text, bool male) {
        return With(Add(name, text), "prSubsetOf", K(male ? "seMaleNames" : "seFemaleNames"));
    }
    atom* Name(const std::string& n, const std::string& text, atom* group) { return With(Add(n, text), "prGenName", group); }
    atom* Member(const std::string& n, const std::string& text, const std::string& set) {
        return With(Add(n, text), "prMemberOf", K(set));
    }
    void Finish() { DataBase::DeriveAll(); }

    // An atom completed at once, of kind 0/1 names (each with a group of its
    // own), 2/3 groups, 4-12 members of their set, 99 anything else.
    atom* Make(const std::string& name, int kind, const std::string& text) {
        static const char* const sets[] = {"seOrigNames", "seOrigins",      "seRealms",    "seWords", "seLanguages",
                                           "seSaints",    "sePopularities", "sePopSeries", "seLinks"};
        const int32_t first = DataBase::numAtoms;
        atom* a = Add(name, text);
        if (kind <= 1) AtomProp(a, "prGenName", Group("gnOf" + name, "", kind == 0));
        else if (kind <= 3) AtomProp(a, "prSubsetOf", K(kind == 2 ? "seMaleNames" : "seFemaleNames"));
        else if (kind <= 12) AtomProp(a, "prMemberOf", K(sets[kind - 4]));
        DataBase::InitPropKinds();
        DataBase::CompleteAtoms(first);
        DataBase::EvalKinds(first);
        return a;
    }
    atom* Nothing() const { return DataBase::nothingAtom; }
};
using TestAtoms = TestDb;


// Records what the list asks of its control.
class FakeDisplay : public ResultDisplay {
public:
    explicit FakeDisplay(DisplayKind kind = DisplayKind::ListBox) : kind_(kind) {}
    DisplayKind Kind() const override { return kind_; }
    ControlRect Geometry() const override { return {1000, 2000, 30, 40}; }
    void SetToolTip(const std::string&) override {}
    void Render(const ResultSet& rs, Services::Progress*) override {
        ++renders;
        shown.clear();
        for (int32_t i = 0; i < rs.numLines(); ++i) shown.push_back(rs.line(i));
    }
    void Select(int32_t line) override { selected = line; }
    int32_t SelectedLine() const override { return selected; }
    double Column2Width() const override { return col2Twips; }
    const CharWidths* FontWidths() const override { return widths ? &table : nullptr; }
    void DefineColumns(const std::vector<ColumnSpec>&, bool) override {}
    void SetActive(bool) override {}

    void UseWidths(int pixels) {  // every character as wide (switches wrapping on)
        widths = true;
        table.fill(pixels);
    }

    int renders = 0;
    int32_t selected = -1;
    double col2Twips = 0;
    std::vector<std::string> shown;

private:
    DisplayKind kind_;
    bool widths = false;
    CharWidths table{};
};

inline std::vector<std::string> Texts(const ResultSet& rs) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < rs.numLines(); ++i) out.push_back(rs.line(i));
    return out;
}
