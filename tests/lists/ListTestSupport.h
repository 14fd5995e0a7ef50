// Atoms for the list tests and a recording display binding.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AtomAccess.h"
#include "DataBase.h"
#include "ResultDisplay.h"
#include "ResultSet.h"

// A tiny database for one test, built through the database's own API: each
// atom gets its text and the property that gives it its kind, and is
// completed and evaluated at once.
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
    void SetToolTip(const std::string& text) override { tips.push_back(text); }
    void Render(const ResultSet& rs, Services::Progress*) override {
        ++renders;
        shown.clear();
        for (int32_t i = 0; i < rs.numLines(); ++i) shown.push_back(rs.line(i));
    }
    void Select(int32_t line) override { selected = line; }
    int32_t SelectedLine() const override { return selected; }
    double Column2Width() const override { return col2Twips; }
    const CharWidths* FontWidths() const override { return widths.empty() ? nullptr : &table; }
    void DefineColumns(const std::vector<ColumnSpec>& cols, bool clear) override {
        if (clear) columns.clear();
        columns.insert(columns.end(), cols.begin(), cols.end());
    }
    void SetActive(bool on) override { active = on; }

    // Every character as wide as `pixels` (switches wrapping on).
    void UseWidths(int pixels) {
        widths = "set";
        table.fill(pixels);
    }

    int renders = 0;
    int32_t selected = -1;
    double col2Twips = 0;
    bool active = true;
    std::vector<std::string> shown, tips;
    std::vector<ColumnSpec> columns;

private:
    DisplayKind kind_;
    std::string widths;
    CharWidths table{};
};

class FakeLabel : public ResultLabel {
public:
    void SetCaption(const std::string& c) override { caption = c; }
    std::string caption;
};

inline std::vector<std::string> Texts(const ResultSet& rs) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < rs.numLines(); ++i) out.push_back(rs.line(i));
    return out;
}
