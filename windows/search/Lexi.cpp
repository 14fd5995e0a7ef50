#include "Lexi.h"

#include "Atom.h"
#include "GenMsg.h"
#include "QtLowLevel.h"
#include "ResultSet.h"
#include "RichTextPane.h"
#include "ShellKit.h"
#include "TextConstants.h"
#include "TextDisplay.h"
#include "WindowContracts.h"

using Query::NameConditions;
using TextConstants::LangText;

Lexi::Lexi() : QueryFrame("Lexi", false), numbers_(*this) {}

void Lexi::WindowLoad() {
    numbers_.Clear();
    for (int i = 0; i < 3; ++i) {
        cond_[i]->onClick = Guarded([this, i] { Cond_Click(i); });
        cond_[i]->onDropDown = [this, i] { LowLevel::SetComboDropHeight(cond_[i]); };
        argText_[i]->onChange = [this, i] {
            if (!suppressEvents) Arg_Change(i);
        };
        argText_[i]->setReadOnly(true);
        numbers_.Add(argText_[i], [this, i] { return CheckCount(i); });
    }
}

void Lexi::SetWindowTexts() {
    SetCommonTexts("Suchen per Buchstaben und Silben", "Find by Strings and Syllables",
                   {"Zus\xe4tzliche Angabe zur # Bedingung erfassen", "Enter an argument for the # condition",
                    "# Bedingung ausformuliert, ev. mit Beispiel",
                    "# condition, fully spelled out, with example if available"});
}

bool Lexi::RowComplete(int i) const { return NameConditions::Complete({CondCode(i), ArgText(i)}); }

void Lexi::Cond_Click(int i) {
    MarkChanged(i);
    // A text kept from a code of letters is a count now: checked before
    // the search reads it.
    numbers_.Invalidate(argText_[i]);
    const int code = CondCode(i);
    const bool takesArg = NameConditions::NeedsArg(code);
    argText_[i]->setReadOnly(!takesArg);
    if (!takesArg) {
        SetTextQuietly(argText_[i], "");
        rowChanged_[i] = false;
        ShowExpl(i);
    }
}

void Lexi::Arg_Change(int i) {
    const int code = CondCode(i);
    if (NameConditions::NumArg(code)) {
        const std::string text = ArgText(i);
        if (text.empty() || GenMsg::NumberFieldValue(text) < 1) return;
    }
    MarkChanged(i);
}

bool Lexi::Arg_LostFocus(int i) { return numbers_.Leave(argText_[i]); }

bool Lexi::CheckCount(int i) {
    if (!NameConditions::NumArg(CondCode(i))) return true;
    if (GenMsg::CheckNumberField(ArgText(i))) {
        MarkChanged(i);
        return true;
    }
    argText_[i]->SetText("1");  // marks the row through Arg_Change
    return false;
}

bool Lexi::ArgsReady() { return numbers_.CheckAll(); }

void Lexi::WriteExplanation(int i, TextDisplay& td) {
    const int code = CondCode(i);
    if (NameConditions::NeedsArg(code))
        WriteTemplate(td, NameConditions::Template(code), ArgText(i));
    else
        td.AddStr(NameConditions::Template(code));
    if (atom* example = engine_.SearchExample({code, ArgText(i)}, ring_)) {
        td.AddStr(LangText(", wie z. B. ", ", like e.g. "));
        td.AddLink(LinkTargetOf(example));
    }
}

void Lexi::RunSearch(ResultSet& out, std::string& title) {
    const Query::Rows rows = RowsOf();
    engine_.Search(rows, andMode_, out);
    title = NameConditions::Title(rows, andMode_);
}
