#include "ShortHelp.h"

#include "Cp1252.h"
#include "Options.h"
#include "RichTextPane.h"
#include "ShellKit.h"
#include "TextConstants.h"
#include "TextDisplay.h"
#include "WinMan.h"

using TextConstants::LangText;

namespace {

void AddColored(TextDisplay& td, const std::string& word, uint32_t colour) {
    td.BeginColor(colour);
    td.AddStr(word);
    td.EndColor();
}

void AddBold(TextDisplay& td, const std::string& word) {
    td.BeginBold();
    td.AddStr(word);
    td.EndBold();
}

void EmptyPara(TextDisplay& td) {
    td.BeginPara();
    td.EndPara();
}

}  // namespace

void BuildShortHelpText(TextDisplay& td) {
    const bool english = TextConstants::textLanguage != 0;
    const std::string program = english ? "Talvessin" : "Orsabrine";
    td.BeginText();

    td.BeginPara();
    td.AddStr(LangText("Am schnellsten lernen Sie " + program + " mit den ",
                       "The fastest way to get to know " + program + " is to work through the "));
    AddBold(td, LangText("Tutorials", "tutorials"));
    td.AddStr(LangText(" kennen \x96 siehe \x84Tutorials...\x93 im Men\xfc \x84Hilfe\x93.",
                       " - see function 'Tutorials...' in the 'Help' menu."));
    td.EndPara();
    EmptyPara(td);

    td.BeginPara();
    td.AddStr(LangText("Achten Sie auf die Farben. Sie zeigen, von welcher Sorte ",
                       "Pay attention to the colors. They show what kind of "));
    td.AddStr(LangText("eine Information ist: ", "information each one is: "));
    struct Label {
        const char* german;
        const char* english;
        int entry;
    };
    static const Label labels[] = {
        {"weiblicher Name", "Female Name", 0}, {"männlicher Name", "Male Name", 1}, {"Sprache", "Language", 4},
        {"Wort", "Word", 3},                   {"Themengebiet", "Topic", 6},       {"Heiliger", "Saint", 5},
    };
    for (const Label& l : labels) {
        AddColored(td, LangText(Cp1252::FromUtf8(l.german), l.english), Options::OptColor[l.entry]);
        td.AddStr(" ");
    }
    td.EndPara();
    EmptyPara(td);

    td.BeginPara();
    td.AddStr(LangText(program + " fasst die Varianten eines Namens, die dieselbe Herkunft haben, zu ",
                       program + " puts the variants of a name that share a common origin into "));
    AddBold(td, LangText("Gruppen", "groups"));
    td.AddStr(LangText(" zusammen. Die Namen der Gruppen sind fett geschrieben. ",
                       ". The names of groups are written in bold. "));
    td.AddStr(LangText("Beispiel: ", "Example: "));
    td.BeginBold();
    AddColored(td, "Theodor", Options::OptColor[1]);
    td.EndBold();
    AddColored(td, "=Theodor,Theo,Theodore,Teddy,Théodore,Fjodor..."_cp, Options::OptColor[1]);
    td.EndPara();
    EmptyPara(td);

    td.BeginPara();
    td.AddStr(LangText("Was aussieht wie ein ", "What looks like a "));
    td.AddNumLink("Link", 0, 0x000000, 0xFFFFFF);
    td.AddStr(LangText(
        " ist auch einer: Ein einfacher Klick darauf folgt ihm wie in einem Web-Browser und öffnet ein Fenster "
        "über das Genannte (einen Namen, eine Sprache, ein Wort usw.)."_cp,
        " is one: a single click follows it, as in a web browser, and opens a window about the thing "
        "named (a name, a language, a word and so on)."));
    td.EndPara();
    EmptyPara(td);

    td.BeginPara();
    td.AddStr(LangText("Einträge von Tabellen und Listen funktionieren genauso: Ein einfacher Klick öffnet ein "
                       "Fenster mit Informationen über den Eintrag."_cp,
                       "Entries of tables and lists work the same way: a single click opens a window with "
                       "information about the entry."));
    td.EndPara();
    EmptyPara(td);

    td.BeginPara();
    td.AddStr(LangText("Anders als viele andere Programme lässt "_cp + program +
                           " Sie die Grösse der meisten Fenster ändern, und es merkt sich Grösse und Position "
                           "jedes Fensters."_cp,
                       "Unlike many other programs, " + program +
                           " lets you resize most windows, and it remembers the size and position of every "
                           "window."));
    td.EndPara();

    // Both editions have the quiz, so both point a new user to it.
    EmptyPara(td);
    td.BeginPara();
    td.AddStr(LangText("Probieren Sie das ", "Try the "));
    AddBold(td, LangText("Vornamen-Quiz", "Name Quiz"));
    td.AddStr(LangText(" (im Men\xfc \x84" "Extras\x93)!", " (see the 'Extras' menu)!"));
    td.EndPara();
    td.EndText();
}

ShortHelp::ShortHelp()
    : FormBase("ShortHelp", Kind::MdiChild, kChildRoles) {
    SetSizable(false);
    // Read and put away: Escape closes it as its close box does, without
    // leading on to the names by alphabet as its Close button does.
    SetDialogLike();
}

ShortHelp::~ShortHelp() {
    // The pane may outlive the builder only by a moment (deleteLater).
    display_.reset();
}

void ShortHelp::BuildControls() {
    // Client area 9132 x 6396 twips.
    FitClient(*this, 609, 426);
    SetCaption("Kürzestanleitung"_cp);
    text_ = Add<RichTextPane>("Text");
    text_->setGeometry(0, 0, 609, 390);
    check_ = Add<CheckBox>("ShowShortHelp");
    check_->setGeometry(8, 400, 480, 20);
    check_->SetCaption("diese Anleitung bei Programmstart automatisch anzeigen");
    close_ = Add<CommandButton>("DoClose");
    close_->setGeometry(500, 397, 97, 25);
    close_->SetCaption("Schliessen");

    check_->onClick = [this] { Options::ShowShortHelp = check_->Value() != 0; };
    close_->onClick = [this] {
        Hide();
        WinMan::OpenForm("Alpha");
        Unload();
    };
}

void ShortHelp::Form_Load() {
    display_ = std::make_unique<TextDisplay>();
    display_->Init("Text", text_, this);
    display_->SetTabPos(0);
    BuildShortHelpText(*display_);
    display_->DisplayText();
    check_->SetValue(Options::CheckBoxValue(Options::ShowShortHelp));
    if (TextConstants::textLanguage == 1) {
        SetCaption("Getting Started");
        check_->SetCaption("Show this window automatically after startup");
        close_->SetCaption("Close");
    }
}
