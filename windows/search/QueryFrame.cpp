#include "QueryFrame.h"

#include <QEvent>
#include <QGroupBox>
#include <QTimer>
#include <QValidator>

#include "ExampleMode.h"
#include "QtLowLevel.h"
#include "QtText.h"
#include "ResultSet.h"
#include "RichTextPane.h"
#include "Searches.h"
#include "TextConstants.h"
#include "TextDisplay.h"
#include "WinMan.h"

using TextConstants::LangText;

namespace {

// Layout in pixels (15 twips each); the windows have a fixed size.
constexpr int kWidth = 640, kHeight = 440;
constexpr int kRowStep = 86, kRowH = 24;
constexpr uint32_t kGrey = 0x808080;  // entry 8 of the colour table

}  // namespace

QueryFrame::QueryFrame(const std::string& name, bool argIsList) : ChildForm(name), argIsList_(argIsList) {}

QueryFrame::~QueryFrame() = default;

bool QueryFrame::English() { return TextConstants::textLanguage == 1; }

// --- Layout -------------------------------------------------------------------------------

void QueryFrame::BuildControls() {
    SetClientSize(kWidth, kHeight);
    for (int i = 0; i < 3; ++i) {
        const int y = 8 + i * kRowStep;
        condFrame_[i] = Add<QGroupBox>("CondFrame", i);
        condFrame_[i]->setTitle(QtText::ToQt(std::to_string(i + 1) + ". Bedingung"));
        condFrame_[i]->setGeometry(8, y, 300, 80);
        if (i > 0) {
            logic_[i - 1] = Add<ComboBox>("Logic", i - 1, condFrame_[i]);
            logic_[i - 1]->setGeometry(8, 20, 62, kRowH);
        }
        cond_[i] = Add<ComboBox>("Cond", i, condFrame_[i]);
        cond_[i]->setGeometry(76, 20, 216, kRowH);
        if (argIsList_) {
            argList_[i] = Add<ComboBox>("Arg", i, condFrame_[i]);
            argList_[i]->setGeometry(76, 50, 216, kRowH);
        } else {
            argText_[i] = Add<TextBox>("Arg", i, condFrame_[i]);
            argText_[i]->setGeometry(76, 50, 216, kRowH);
            argText_[i]->setMaxLength(100);
        }
        expl_[i] = Add<RichTextPane>("Expl" + std::to_string(i));
        expl_[i]->setGeometry(316, y + 6, 316, 74);
    }
    queryFrame_ = AddFrame("QueryFrame", "Resultierende Suche", {8, 266, 624, 128});
    query_ = Add<RichTextPane>("Query");
    query_->setGeometry(16, 286, 608, 100);
    query_->raise();
    showEx_ = AddButton("ShowEx", "Beispiel", {8, 404, 84, 28});
    showHelp_ = AddHelpButton();
    showHelp_->setGeometry(98, 404, 84, 28);
    search_ = AddButton("Search", "Suchen", {kWidth - 8 - 96, 404, 96, 28});
    search_->setDefault(true);
    // Fixed at its designed size (after the size is set).
    SetSizable(false);
}

// --- Load -----------------------------------------------------------------------------------

void QueryFrame::Form_Load() {
    for (int i = 0; i < 3; ++i) {
        explTd_[i] = std::make_unique<TextDisplay>();
        explTd_[i]->Init("Expl" + std::to_string(i), expl_[i], this);
        explTd_[i]->SetFontSize(16);
    }
    queryTd_ = std::make_unique<TextDisplay>();
    queryTd_->Init("Query", query_, this);

    {
        Suppress quiet(*this);
        for (int k = 0; k < 2; ++k) {
            logic_[k]->Clear();
            logic_[k]->AddItem(Query::AndWord());
            logic_[k]->AddItem(Query::OrWord());
            logic_[k]->onClick = Guarded([this, k] { Logic_Click(k); });
        }
        for (int i = 0; i < 3; ++i) {
            cond_[i]->Clear();
            for (int code = 0; code < NumCodes(); ++code) cond_[i]->AddItem(CodeCaption(code));
            cond_[i]->SetListIndex(0);
        }
        // Both connectives start at "and" without asking the input guard.
        logic_[0]->SetListIndex(0);
        logic_[1]->SetListIndex(0);
    }

    ring_.Clear();
    andMode_ = true;
    changed_ = false;
    rowChanged_ = {};
    lastChange_ = Services::TheClock().Now();

    search_->onClick = [this] { Search_Click(); };
    showEx_->onClick = [this] {
        if (WinMan::ActionBlocked()) return;
        Examples::ShowExample(Name());
    };
    showEx_->setEnabled(static_cast<bool>(Examples::showExample));

    WindowLoad();
    SetWindowTexts();

    timer_ = new QTimer(Client());
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, [this] { Run([this] { UpdateTimer_Timer(); }); });
    timer_->start();
}

namespace {

// A row's tooltip: "#" in the template becomes the row's ordinal ("2." in
// German, "2nd" in English), so that the three rows share one text.
std::string RowText(const char* templ, int row, bool english) {
    static const char* const ordDe[] = {"1.", "2.", "3."};
    static const char* const ordEn[] = {"1st", "2nd", "3rd"};
    std::string text = templ;
    const std::size_t at = text.find('#');
    if (at != std::string::npos) text.replace(at, 1, english ? ordEn[row] : ordDe[row]);
    return text;
}

}  // namespace

void QueryFrame::SetCommonTexts(const std::string& titleDe, const std::string& titleEn, const RowTips& tips) {
    SetCaption(LangText(titleDe, titleEn));
    for (int i = 0; i < 3; ++i) {
        condFrame_[i]->setTitle(QtText::ToQt(English() ? "Condition " + std::to_string(i + 1)
                                                       : std::to_string(i + 1) + ". Bedingung"));
    }
    queryFrame_->setTitle(QtText::ToQt(LangText("Resultierende Suche", "Resulting query")));
    search_->SetCaption(LangText("Suchen", "Find"));
    showEx_->SetCaption(LangText("Beispiel", "Example"));

    for (int i = 0; i < 3; ++i) {
        Tip(cond_[i], RowText("Art der # Bedingung w\xe4hlen", i, false),
            RowText("Choose the type of the # condition", i, true));
        QWidget* arg = argText_[i] ? static_cast<QWidget*>(argText_[i]) : argList_[i];
        Tip(arg, RowText(tips.argDe, i, false), RowText(tips.argEn, i, true));
        Tip(expl_[i], RowText(tips.explDe, i, false), RowText(tips.explEn, i, true));
    }
    for (ComboBox* l : logic_)
        Tip(l, "Art der Verkn\xfcpfung der Bedingungen w\xe4hlen", "Choose how to logically combine the conditions");
    Tip(query_, "Resultierende Suche mit allen Bedingungen, ausformuliert",
        "Resulting search query, with all specified conditions considered, fully spelled out");
    Tip(search_, "Suche starten", "Start search");
    Tip(showEx_, "Beispiele von Suchen anzeigen", "Show examples for queries");
    Tip(showHelp_, "Hilfe zum Fenster anzeigen", "Show help for this window");
}

void QueryFrame::Form_Unload(bool&) {
    if (timer_) timer_->stop();
    for (auto& td : explTd_) td.reset();
    queryTd_.reset();
    ring_.Clear();
}

// --- Rows -----------------------------------------------------------------------------------

int QueryFrame::CondCode(int i) const { return cond_[i] ? cond_[i]->ListIndex() : 0; }

std::string QueryFrame::ArgText(int i) const {
    if (argText_[i]) return argText_[i]->Text();
    if (argList_[i]) return argList_[i]->Text();
    return {};
}

Query::Rows QueryFrame::RowsOf() const {
    Query::Rows rows;
    for (int i = 0; i < 3; ++i) rows[i] = {std::max(0, CondCode(i)), ArgText(i)};
    return rows;
}

void QueryFrame::MarkChanged(int row) {
    changed_ = true;
    lastChange_ = Services::TheClock().Now();
    if (row >= 0) rowChanged_[row] = true;
}

void QueryFrame::Logic_Click(int i) {
    if (inLogic_) return;
    inLogic_ = true;
    logic_[i == 0 ? 1 : 0]->SetListIndex(logic_[i]->ListIndex());
    inLogic_ = false;
    andMode_ = logic_[i]->Text() == Query::AndWord();
    MarkChanged(-1);
}

// --- Spelled-out texts -----------------------------------------------------------------------

void QueryFrame::WriteTemplate(TextDisplay& td, const std::string& templ, const std::string& arg) {
    const std::size_t p = templ.find('#');
    if (p == std::string::npos) {
        td.AddStr(templ);
        return;
    }
    td.AddStr(templ.substr(0, p));
    td.BeginColor(kGrey);
    td.AddStr(arg);
    td.EndColor();
    td.AddStr(templ.substr(p + 1));
}

void QueryFrame::ShowExpl(int i) {
    TextDisplay* td = explTd_[i].get();
    if (!td) return;
    td->BeginText();
    td->SetTabPos(0);
    td->BeginPara();
    if (RowComplete(i)) WriteExplanation(i, *td);
    td->EndPara();
    td->EndText();
    td->DisplayText();
}

void QueryFrame::WriteCondition(bool& first, int i) {
    if (!RowComplete(i)) return;
    TextDisplay& td = *queryTd_;
    if (!first) {
        if (GreyConnective()) td.BeginColor(kGrey);
        td.AddStr(Query::Connective(andMode_) + " ");
        if (GreyConnective()) td.EndColor();
    }
    first = false;
    const int code = CondCode(i);
    if (TakesArg(code))
        WriteTemplate(td, CodeTemplate(code), ArgText(i));
    else
        td.AddStr(CodeTemplate(code));
}

void QueryFrame::ShowQuery() {
    if (!queryTd_) return;
    TextDisplay& td = *queryTd_;
    td.BeginText();
    td.SetTabPos(0);
    td.BeginPara();
    bool first = true;
    for (int i = 0; i < 3; ++i) {
        if (!RowComplete(i)) continue;
        WriteCondition(first, i);
        td.EndPara();
        td.BeginPara();
    }
    td.BeginPara();
    td.EndText();
    td.DisplayText();
}

std::string QueryFrame::ExplRtf(int i) const { return explTd_[i] ? explTd_[i]->GetStr() : std::string(); }
std::string QueryFrame::QueryRtf() const { return queryTd_ ? queryTd_->GetStr() : std::string(); }

// --- Timer, search, notifications ---------------------------------------------------------------

void QueryFrame::UpdateTimer_Timer() {
    if (!changed_ || !IsLoaded()) return;
    if (Services::TheClock().Now().second == lastChange_.second) return;
    changed_ = false;
    ShowQuery();
    for (int i = 0; i < 3; ++i) {
        if (!rowChanged_[i]) continue;
        rowChanged_[i] = false;
        ShowExpl(i);
    }
}

void QueryFrame::Search_Click() {
    if (!IsLoaded() || WinMan::ActionBlocked() || !ArgsReady()) return;
    Services::HourglassOn();
    ResultSet list;
    list.InitInt();
    std::string title;
    RunSearch(list, title);
    Services::HourglassOff();
    Searches::NewRes(title, list, Searches::kAlone);
}

void QueryFrame::OnNotify(int code, const std::string& text) {
    if (code == 0) Searches::FollowLink(text, nullptr, nullptr);
    if (code == 3) Search_Click();
}
