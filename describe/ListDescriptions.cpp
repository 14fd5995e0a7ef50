#include "ListDescriptions.h"

#include "Atom.h"
#include "ExportText.h"
#include "LineMarkup.h"
#include "Options.h"
#include "ResultRender.h"
#include "ResultSet.h"
#include "TextDisplay.h"

namespace ListDescriptions {

void Describe(const ResultSet& list, ResultSet& out, GenDescr::DescrFlags flags, Services::Progress* progress) {
    flags.noRuleLine = true;
    const int32_t n = list.numLines();
    if (progress) progress->SetMaximum(n);
    for (int32_t i = 0; i < n; ++i) {
        if (progress) progress->SetValue(i);
        atom* a = list.atom(i);
        const int32_t before = out.numLines();
        if (!a)
            out.AddResult(list.line(i), "", nullptr);
        else if (a->isName())
            GenDescr::DescribeName(a, out, flags);
        else
            GenDescr::DescribeGroup(a, out, flags);
        // An entry without a description (no longer in the database) is left out.
        if (out.numLines() == before) continue;
        out.AddResult("", "", nullptr);
        out.AddResult("", "", nullptr);
    }
    if (progress) progress->SetValue(n);
}

std::string DescriptionsRtf(const ResultSet& list, bool colour, Services::Progress* progress) {
    ResultSet lines;
    lines.InitInt();
    lines.Expand(false);
    GenDescr::DescrFlags flags;
    flags.richText = flags.withAtomLinks = colour;
    if (colour) {
        lines.ShowColor();
        lines.showLinks();
    }
    Describe(list, lines, flags, progress);
    TextDisplay td;
    td.Init("RtfExport", nullptr, nullptr);
    td.setLinkMarkers(false);
    if (progress) progress->SetMaximum(lines.numLines());
    ResultRender::BuildDocument(lines, td, progress, Options::OptColor);
    return td.GetStr();
}

std::string ListRtf(const ResultSet& list, bool colour, bool withReasons) {
    TextDisplay td;
    td.Init("RtfExport", nullptr, nullptr);
    td.BeginText();
    for (int32_t i = 0, n = list.numLines(); i < n; ++i) {
        td.BeginPara();
        if (atom* a = list.atom(i)) {
            if (colour) td.BeginColor(Markup::LinkColour(*a, Options::OptColor));
            td.AddStr(a->Text());
            if (colour) td.EndColor();
        } else {
            td.AddStr(list.line(i));
        }
        if (withReasons) {
            td.AddTab();
            td.AddStr(list.reason(i));
        }
        td.EndPara();
    }
    td.EndText();
    return td.GetStr();
}

std::string ExportContents(const ResultSet& list, int format, int scope, Services::Progress* progress) {
    using namespace ExportText;
    if (IsRtf(format)) {
        if (scope == kDescr) return DescriptionsRtf(list, format == kRtfColor, progress) + "\r\n";
        if (progress) progress->SetMaximum(list.numLines());
        std::string rtf = ListRtf(list, format == kRtfColor, scope == kNamesReasons);
        if (progress) progress->SetValue(list.numLines());
        return rtf + "\r\n";
    }
    if (scope != kDescr) return ListText(list, format, scope, progress);
    ResultSet lines;
    lines.InitInt();
    Describe(list, lines, GenDescr::DescrFlags{}, progress);
    return DescrText(lines, format);
}

}  // namespace ListDescriptions
