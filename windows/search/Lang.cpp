#include "Lang.h"

#include "Atom.h"
#include "LangCombo.h"
#include "QtLowLevel.h"
#include "ResultSet.h"
#include "RichTextPane.h"
#include "ShellKit.h"
#include "TextConstants.h"
#include "TextDisplay.h"
#include "WinMan.h"

using TextConstants::LangText;

Lang::Lang() : QueryFrame("Lang", true) {}

void Lang::WindowLoad() {
    for (int i = 0; i < 3; ++i) {
        argIsOrigin_[i] = false;
        FillArgBox(i, true);
        cond_[i]->onClick = Guarded([this, i] { Cond_Click(i); });
        argList_[i]->onClick = Guarded([this, i] { Arg_Click(i); });
        argList_[i]->onDropDown = [this, i] { LowLevel::SetComboDropHeight(argList_[i]); };
    }
    ShowQuery();
}

void Lang::SetWindowTexts() {
    SetCommonTexts("Suchen per Sprache", "Find by Language",
                   {"Sprache zur # Bedingung w\xe4hlen", "Choose the language for the # condition",
                    "# Bedingung ausformuliert, ev. mit Beispiel",
                    "# condition, fully spelled out, with example if available"});
}

void Lang::FillArgBox(int i, bool isOrigin) {
    if (argIsOrigin_[i] == isOrigin && argList_[i]->ListCount() > 0) return;
    Suppress quiet(*this);
    // The separator cannot be chosen: it names no language.
    LangCombo::Fill(argList_[i], isOrigin, true, false);
    argList_[i]->SetListIndex(0);
    argIsOrigin_[i] = isOrigin;
}

Query::LangRow Lang::RowOf(int i) const { return {CondCode(i), LangCombo::SelectedLang(argList_[i])}; }

bool Lang::RowComplete(int i) const { return Query::LangSearch::Complete(RowOf(i)); }

std::string Lang::ArgText(int i) const {
    atom* lang = LangCombo::SelectedLang(argList_[i]);
    return lang ? lang->Text() : std::string();
}

void Lang::Cond_Click(int i) {
    const int code = CondCode(i);
    if (code <= 0) {
        Suppress quiet(*this);
        argList_[i]->SetListIndex(0);
    } else {
        FillArgBox(i, code == 1);
    }
    ShowExpl(i);
    MarkChanged(i);
}

void Lang::Arg_Click(int i) {
    if (argList_[i]->ListIndex() != 0 && CondCode(i) == 0) cond_[i]->SetListIndex(1);
    ShowExpl(i);
    MarkChanged(i);
}

void Lang::UpdateTimer_Timer() {
    if (!changed_ || !IsLoaded()) return;
    changed_ = false;
    ShowQuery();
}

void Lang::OnNotify(int code, const std::string& text) {
    if (code == 5)
        UpdateTimer_Timer();
    else
        QueryFrame::OnNotify(code, text);
}

void Lang::WriteExplanation(int i, TextDisplay& td) {
    const Query::LangRow row = RowOf(i);
    atom* example = Query::LangSearch::SearchExample(row, ring_);
    if (example) {
        td.AddStr(LangText("Beispiel", "Example") + " ");
        td.AddLink(LinkTargetOf(example));
        td.AddStr(" " + LangText("f\xfcr", "for") + " ");
    } else {
        td.BeginBold();
        td.AddStr(LangText("Kein Name gefunden f\xfcr", "No name found for") + " ");
        td.EndBold();
    }
    td.AddLink(LinkTargetOf(row.lang));
    td.AddStr(" (" + row.lang->Descr() + ")");
}

void Lang::RunSearch(ResultSet& out, std::string& title) {
    Query::LangRows rows;
    for (int i = 0; i < 3; ++i) rows[i] = RowOf(i);
    Query::LangSearch::Search(rows, andMode_, out);
    title = Query::LangSearch::Title(rows, andMode_);
}
