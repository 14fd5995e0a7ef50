#include "ResultRender.h"

#include "Atom.h"
#include "Options.h"
#include "ResultSet.h"
#include "TextDisplay.h"

namespace ResultRender {

namespace {

// Sizes in half-points and the indent step of the line prefixes.
constexpr int kSmallSize = 4;
constexpr int kEmSize = 24;
constexpr int kAfterEmSize = 18;
constexpr double kIndentMm = 2;

void AddColumn(TextDisplay& td, std::string_view text, bool markup, const Markup::InlineOptions& o) {
    if (!markup) {
        td.AddStr(std::string(text));
        return;
    }
    AddRuns(td, Markup::ParseInline(text, o));
}

}  // namespace

Markup::InlineOptions InlineOptionsOf(const ResultSet& rs, std::span<const uint32_t> colours) {
    Markup::InlineOptions o;
    o.showLinks = rs.view.showLinks;
    o.showColor = rs.view.ShowColor;
    o.showSelfLinks = rs.view.showSelfLinks;
    o.selfAtom = rs.selfAtom();
    o.colours = colours;
    return o;
}

void AddRuns(TextDisplay& td, const std::vector<Markup::Run>& runs) {
    using Type = Markup::Run::Type;
    for (const Markup::Run& r : runs) {
        if (r.bold) td.BeginBold();
        switch (r.type) {
        case Type::Link: {
            LinkTarget t;
            t.text = r.text;
            t.id = r.number;
            t.colour = r.colour;
            t.bold = r.bold;
            t.shown = r.target && r.target->shown();
            td.AddLink(t);
            break;
        }
        case Type::HelpMark:
            td.AddNumLink(r.text, r.number, r.colour, kNoBackColour);
            break;
        case Type::Text:
        case Type::AtomText:
            if (r.hasColour) td.BeginColor(r.colour);
            td.AddStr(r.text);
            if (r.hasColour) td.EndColor();
            break;
        }
        if (r.bold) td.EndBold();
    }
}

void BuildDocument(const ResultSet& rs, TextDisplay& td, Services::Progress* progress,
                   std::span<const uint32_t> colours) {
    const Markup::InlineOptions o = InlineOptionsOf(rs, colours);
    const bool markup = rs.view.showLinks || rs.view.ShowColor;
    td.BeginText();
    const int32_t n = rs.numLines();
    for (int32_t i = 0; i < n; ++i) {
        const std::string line = rs.line(i);
        const Markup::LinePrefixes pre = Markup::TakePrefixes(line);
        const int savedSize = td.GetFontSize();
        const double savedTab = td.GetTabPos();
        if (pre.small) td.SetFontSize(kSmallSize);
        if (pre.indent) td.SetTabPos(savedTab + kIndentMm);
        if (pre.em) td.SetFontSize(kEmSize);
        td.BeginPara();
        const Markup::TwoColumns cols = Markup::SplitAtTab(pre.rest);
        const bool expand = cols.hasTab && rs.view.Expand && !pre.em;
        if (expand) td.BeginExpand();
        AddColumn(td, cols.col1, markup, o);
        if (expand) td.EndExpand();
        td.AddTab();
        AddColumn(td, cols.col2, markup, o);
        td.EndPara();
        if (pre.small) td.SetFontSize(savedSize);
        if (pre.indent) td.SetTabPos(savedTab);
        if (pre.em) td.SetFontSize(kAfterEmSize);
        if (progress) progress->SetValue(i + 1);
    }
    td.EndText();
}

void Render(const ResultSet& rs, TextDisplay& td, Services::Progress* progress) {
    BuildDocument(rs, td, progress, Options::OptColor);
    td.DisplayText();
}

}  // namespace ResultRender
