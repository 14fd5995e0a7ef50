// Atoms for the list tests and a recording display binding.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AtomAccess.h"
#include "DataBase.h"
#include "ResultDisplay.h"
#include "ResultSet.h"

// A tiny database built through the database's own API: each atom gets its
// text and the property that gives it its kind, and is completed at once.
class TestAtoms {
public:
    TestAtoms() { DataBase::InitDataBase(); }
    // kind 0/1 names (each with a group of its own), 2/3 groups, 4-12 members
    // of their set, 99 anything else.
    atom* Make(const std::string& name, int kind, const std::string& text);
    atom* Nothing() const { return DataBase::nothingAtom; }
};

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
