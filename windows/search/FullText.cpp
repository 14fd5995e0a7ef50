#include "FullText.h"

#include "ResultSet.h"
#include "RichTextPane.h"
#include "TextConstants.h"
#include "TextDisplay.h"

FullText::FullText() : QueryFrame("FullText", false) {}

void FullText::WindowLoad() {
    for (int i = 0; i < 3; ++i) {
        cond_[i]->onClick = Guarded([this, i] { Cond_Click(i); });
        argText_[i]->onChange = [this, i] {
            if (!suppressEvents) Arg_Change(i);
        };
        argText_[i]->setReadOnly(true);
    }
}

void FullText::SetWindowTexts() {
    SetCommonTexts("Volltextsuche", "Fulltext Search",
                   {"Zus\xe4tzliche Angabe zur # Bedingung erfassen", "Enter an argument for the # condition",
                    "# Bedingung ausformuliert", "# condition, fully spelled out"});
}

bool FullText::RowComplete(int i) const { return Query::FullTextSearch::Complete({CondCode(i), ArgText(i)}); }

void FullText::Cond_Click(int i) {
    MarkChanged(i);
    const bool none = CondCode(i) <= 0;
    argText_[i]->setReadOnly(none);
    if (none) SetTextQuietly(argText_[i], "");
}

void FullText::Arg_Change(int i) { MarkChanged(i); }

void FullText::OnNotify(int code, const std::string& text) {
    if (code == 3) QueryFrame::OnNotify(code, text);
}

void FullText::WriteExplanation(int i, TextDisplay& td) {
    WriteTemplate(td, Query::FullTextSearch::Template(CondCode(i)), ArgText(i));
}

void FullText::RunSearch(ResultSet& out, std::string& title) {
    const Query::Rows rows = RowsOf();
    engine_.Search(rows, andMode_, out);
    title = Query::FullTextSearch::Title(rows, andMode_);
}
