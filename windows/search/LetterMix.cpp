#include "LetterMix.h"

#include <QGroupBox>
#include <QLabel>

#include "Atom.h"
#include "Canvas.h"
#include "CountText.h"
#include "Cp1252.h"
#include "Errors.h"
#include "QtText.h"
#include "ResultSet.h"
#include "ResultViews.h"
#include "TextConstants.h"
#include "WinMan.h"

using TextConstants::LangText;

namespace {
constexpr int kWidth = 810, kHeight = 470;
}  // namespace

LetterMix::LetterMix() : ChildForm("LetterMix") {}

LetterMix::~LetterMix() {
    if (names_) names_->Unbind();
}

void LetterMix::BuildControls() {
    SetClientSize(kWidth, kHeight);
    SetCaption("Buchstaben kombinieren");
    lettersFrame_ = AddFrame("LettersFrame", "Buchstaben-liefernde Namen", {8, 6, 300, 106});
    for (int i = 0; i < 3; ++i) {
        auto* l = Add<QLabel>("Label1", i, lettersFrame_);
        l->setText(QString::number(i + 1) + ":");
        l->setGeometry(10, 22 + i * 27, 20, 24);
        auto* t = Add<TextBox>("Letters", i, lettersFrame_);
        t->setMaxLength(LetterCombine::kMaxTextLength);
        t->setGeometry(32, 22 + i * 27, 258, 24);
        labels_[static_cast<size_t>(i)] = l;
        letters_[static_cast<size_t>(i)] = t;
    }
    optionsFrame_ = AddFrame("OptionsFrame", "Steuerung des Kombinierens", {8, 116, 300, 68});
    useMulti_ = Add<CheckBox>("UseMulti", -1, optionsFrame_);
    useMulti_->SetCaption("Verwende Buchstaben bei Bedarf mehrfach");
    useMulti_->setGeometry(10, 20, 286, 22);
    useOrder_ = Add<CheckBox>("UseOrder", -1, optionsFrame_);
    useOrder_->SetCaption("Reihenfolge der Buchstaben beachten");
    useOrder_->setGeometry(10, 42, 286, 22);
    search_ = AddButton("Search", "Kombinieren", {8, 190, 120, 26});
    search_->setDefault(true);
    showHelp_ = AddHelpButton();
    showHelp_->setGeometry(228, 190, 80, 26);

    namesFrame_ = AddFrame("NamesFrame", "Namen", {8, 222, 300, kHeight - 230});
    nameInfo_ = AddButton("NameInfo", "Name", {8, 20, 138, 24}, namesFrame_);
    asList_ = AddButton("AsList", "Als Liste", {154, 20, 138, 24}, namesFrame_);
    namesView_ = Add<ListView>("Names");
    namesView_->setGeometry(16, 272, 284, kHeight - 290);
    namesView_->raise();

    mixGraphFrame_ = AddFrame("MixGraphFrame", "Grafik", {316, 6, kWidth - 324, kHeight - 14});
    mixGraph_ = Add<Canvas>("MixGraph");
    mixGraph_->setGeometry(326, 26, kWidth - 344, kHeight - 44);
    mixGraph_->raise();
}

void LetterMix::Form_Load() {
    suppressEvents = false;
    graphReady_ = false;
    drawnName_.clear();
    layout_ = {};
    if (names_) names_->Unbind();
    display_ = std::make_unique<ListViewDisplay>(namesView_);
    names_ = std::make_shared<ResultSet>();
    names_->Init("", nullptr, "Alle zusammengesetzten Namen", nullptr, display_.get());
    names_->ShowColor();
    names_->DefineOneCol("Name");
    display_->InitSize(*names_, Client(), true, 3 * U(), false, 0, namesFrame_);

    graph_.Init(mixGraph_);
    graph_.InitSize(Client(), true, 3 * U(), true, 3 * U(), mixGraphFrame_);
    graphReady_ = true;

    for (auto& t : letters_) GuardBox(t, {});
    search_->onClick = [this] { Search_Click(); };
    namesView_->onClick = [this] { Names_ItemClick(); };
    // Enter on a line opens the name, as the Name button does.
    namesView_->onEnter = [this] { NameInfo_Click(); };
    nameInfo_->onClick = [this] { NameInfo_Click(); };
    asList_->onClick = [this] { AsList_Click(); };

    Tip(lettersFrame_, "Bis zu drei beliebige Namen/Zeichenfolgen f\xfcr das Kombinieren angeben",
        "Provide up to 3 arbitrary names or strings for combining");
    Tip(search_, "Kombinieren starten", "Start the combining");
    Tip(showHelp_, "Hilfe zum Fenster anzeigen", "Show help for this window");
    SetEnglishTexts();
}

void LetterMix::SetEnglishTexts() {
    if (TextConstants::textLanguage != 1) return;
    SetCaption("Letter Combinations");
    lettersFrame_->setTitle("Letter-providing names");
    optionsFrame_->setTitle("Options");
    useMulti_->SetCaption("Use letters more than once if needed");
    useOrder_->SetCaption("Respect the order of the letters");
    search_->SetCaption("Combine");
    namesFrame_->setTitle("Names");
    asList_->SetCaption("As List");
    mixGraphFrame_->setTitle("Graph");
    showHelp_->SetCaption("Help");
    names_->setToolTipText("Table of all the combined names");
}

// --- the search and the picture ------------------------------------------------------------

void LetterMix::Search_Click() {
    if (WinMan::ActionBlocked()) return;
    LetterCombine::Texts texts;
    for (size_t i = 0; i < 3; ++i) texts[i] = letters_[i]->Text();
    if (texts[0].empty() && texts[1].empty() && texts[2].empty()) return;
    Services::HourglassOn();
    madeTexts_ = texts;
    madeMulti_ = useMulti_->Value() == 1;
    madeOrder_ = useOrder_->Value() == 1;
    LetterCombine::Search(texts, madeMulti_, madeOrder_, *names_);
    names_->setPureTitle(LetterCombine::Title(texts));
    names_->Sort(1);
    {
        Suppress s(*this);
        names_->Show();
    }
    namesFrame_->setTitle(QtText::ToQt(CountText::CountPhrase(false, names_->numLines())));
    if (names_->numLines() == 0) {
        ClearGraph();
    } else {
        {
            Suppress s(*this);
            names_->markLine(0);
        }
        DrawMixGraph(names_->line(0));
    }
    Services::HourglassOff();
}

void LetterMix::Names_ItemClick() {
    if (suppressEvents || WinMan::ActionBlocked()) return;
    names_->SyncMarked();
    const int32_t line = names_->SelIndex();
    if (line < 0 || line >= names_->numLines()) return;
    DrawMixGraph(names_->line(line));
}

void LetterMix::ClearGraph() {
    drawnName_.clear();
    layout_ = {};
    if (graphReady_) graph_.Clear();
}

void LetterMix::DrawMixGraph(const std::string& name) {
    drawnName_ = name;
    const double s = graph_.CalcScaleFact(LetterCombine::WorldWidth(madeTexts_, name), 0.95, LetterCombine::kWorldHeight, 0.95);
    layout_ = LetterCombine::MakeLayout(madeTexts_, name, madeMulti_, madeOrder_, s);
    // The table and the picture use the same texts, so every line fits.
    Errors::Assert(layout_.complete, "Names_ItemClick AllOccur found");
    Paint();
}

void LetterMix::Paint() {
    if (!graphReady_ || !mixGraph_) return;
    graph_.Clear();
    if (drawnName_.empty()) return;
    double side = 0;
    for (const auto& row : layout_.rows)
        if (!row.empty()) side = row.front().size;
    // The lines first: the boxes stand over them.
    for (const LetterCombine::Line& l : layout_.lines) {
        GraphObj line;
        line.InitLine(&graph_, l.x1, l.y1, l.x2, l.y2);
        line.setDrawWidth(side / 20);
        line.setForeColor(l.colour);
        line.draw();
    }
    for (const auto& row : layout_.rows) {
        if (row.empty()) continue;
        std::string word;
        for (const LetterCombine::Box& b : row) word += b.letter;
        std::vector<GraphObj> boxes;
        GraphBase::DrawWordBoxes(graph_, word, row.front().left, row.front().top, row.front().size, 0, 0xFFFFFF, boxes,
                                 false);
        for (size_t k = 0; k < row.size() && k < boxes.size(); ++k) {
            boxes[k].setForeColor(row[k].colour);
            boxes[k].draw();
        }
    }
}

void LetterMix::NameInfo_Click() {
    if (!names_ || names_->numLines() == 0 || WinMan::ActionBlocked()) return;
    names_->SyncMarked();
    int32_t line = names_->SelIndex();
    if (line < 0 || line >= names_->numLines()) line = names_->marked();
    if (line < 0 || line >= names_->numLines()) return;
    WinMan::OpenForm(WindowNames::kSingleName);
    if (auto* w = dynamic_cast<AtomShower*>(Auto::GetForm(WindowNames::kSingleName))) w->ShowAtom(names_->atom(line));
}

void LetterMix::AsList_Click() {
    if (!names_ || names_->numLines() == 0) return;
    AsList(*names_, names_->pureTitle());
}

void LetterMix::OnNotify(int code, const std::string&) {
    if (code == 3 && IsLoaded()) Search_Click();
}

// --- life cycle ----------------------------------------------------------------------------------

void LetterMix::Form_Resize() {
    if (IsLoading() || !IsLoaded() || !names_ || !display_) return;
    display_->Resize(*names_);
    if (graphReady_) {
        graph_.Resize();
        if (!drawnName_.empty()) DrawMixGraph(drawnName_);
    }
}

void LetterMix::Form_Unload(bool&) {
    graphReady_ = false;
    if (names_) names_->Unbind();
}
