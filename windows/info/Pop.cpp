#include "Pop.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QFontInfo>
#include <QScrollArea>
#include <QScrollBar>

#include "Atom.h"
#include "Basic.h"
#include "DataBase.h"
#include "Errors.h"
#include "ExampleMode.h"
#include "PopRows.h"
#include "QtLowLevel.h"
#include "QtText.h"
#include "ResultSet.h"
#include "Searches.h"
#include "TextConstants.h"
#include "WinMan.h"

using TextConstants::LangText;

namespace {

// Layout in pixels (15 twips each) of the window's default size.
constexpr int kWidth = 740, kHeight = 418;
constexpr int kRowH = 24;
constexpr int kNone = Basic::kNone;

// The hit parade a series' property names, or nullptr if it names none.
atom* HitParadeOf(const Prop* p) {
    if (p == nullptr || p->proper() != DataBase::prSubset || !(p->kind() == 0 || p->kind() == 2)) return nullptr;
    atom* pop = p->atomVal();
    return pop != nullptr && pop->kind() == 10 ? pop : nullptr;
}

// A series the database names but holds no hit parade of (a country
// without figures yet) would leave the hit-parade choice empty.
bool HoldsHitParade(const atom* series) {
    for (const Prop* p : series->props())
        if (HitParadeOf(p) != nullptr) return true;
    return false;
}


}  // namespace

Pop::Pop() : ChildForm(WindowNames::kPop) {}

Pop::~Pop() { Unbind(); }

void Pop::Unbind() {
    if (popList_) popList_->Unbind();
    if (names_) names_->Unbind();
    if (years_) years_->Unbind();
}

// --- Layout --------------------------------------------------------------------------------

void Pop::BuildControls() {
    SetClientSize(kWidth, kHeight);
    SetCaption("Hitparaden");

    curName_ = Add<TextBox>("CurName");
    curName_->setGeometry(8, 8, 160, kRowH);
    showName_ = AddButton("ShowName", "Anzeigen", {174, 7, 80, 26});
    showName_->setDefault(true);
    nameInfo_ = AddButton("NameInfo", "Name", {258, 7, 70, 26});
    asList_ = AddButton("AsList", "Als Liste", {332, 7, 76, 26});
    showEx_ = AddButton("ShowEx", "Beispiel", {412, 7, 76, 26});
    showHelp_ = AddHelpButton();
    showHelp_->setGeometry(492, 7, 70, 26);

    // Two tables side by side, growing downwards; the hit parade's
    // description, the free choice and the chart on the right. The first
    // table holds "Kalifornien 2020" beside "13    (von 100)" whole.
    popListFrame_ = Add<QGroupBox>("PopListFrame");
    popListFrame_->setGeometry(8, 40, 266, 370);
    popListView_ = Add<ListView>("PopList");
    popListView_->setGeometry(16, 60, 250, 342);
    popListView_->raise();
    namesFrame_ = Add<QGroupBox>("NamesFrame");
    namesFrame_->setGeometry(282, 40, 204, 370);
    namesView_ = Add<ListView>("Names");
    namesView_->setGeometry(290, 60, 188, 342);
    namesView_->raise();

    const int x = 494, w = 238;
    curPopDescrFrame_ = Add<QGroupBox>("CurPopDescrFrame");
    curPopDescrFrame_->setGeometry(x, 40, w, 84);
    curPopDescr_ = Add<QPlainTextEdit>("CurPopDescr", -1, curPopDescrFrame_);
    curPopDescr_->setReadOnly(true);
    curPopDescr_->setGeometry(8, 20, w - 16, 58);

    freeChoiceFrame_ = Add<QGroupBox>("FreeChoiceFrame");
    freeChoiceFrame_->setGeometry(x, 128, w, 78);
    seriesLabel_ = Add<QLabel>("SeriesLabel", -1, freeChoiceFrame_);
    seriesLabel_->setGeometry(8, 22, 66, 20);
    curPopSeries_ = Add<ComboBox>("CurPopSeries", -1, freeChoiceFrame_);
    curPopSeries_->setGeometry(76, 20, w - 84, kRowH);
    hitparadeLabel_ = Add<QLabel>("HitparadeLabel", -1, freeChoiceFrame_);
    hitparadeLabel_->setGeometry(8, 48, 66, 20);
    curPop_ = Add<ComboBox>("CurPop", -1, freeChoiceFrame_);
    curPop_->setGeometry(76, 46, w - 84, kRowH);

    graphFrame_ = Add<QGroupBox>("GraphFrame");
    graphFrame_->setGeometry(x, 210, w, 52);
    showSeries_ = Add<OptionButton>("ShowSeries", -1, graphFrame_);
    showSeries_->SetCaption("Serien");
    showSeries_->setGeometry(8, 22, 74, 22);
    showYear_ = Add<OptionButton>("ShowYear", -1, graphFrame_);
    showYear_->SetCaption("Jahre");
    showYear_->setGeometry(84, 22, 70, 22);
    graphYearBox_ = Add<ComboBox>("GraphYear", -1, graphFrame_);
    graphYearBox_->setGeometry(158, 20, w - 166, kRowH);

    popGraphFrame_ = Add<QGroupBox>("PopGraphFrame");
    popGraphFrame_->setGeometry(x, 266, w, 144);
    // The canvas scrolls inside its area when a chart's rows need more
    // room than the window gives them.
    popGraphView_ = Add<QScrollArea>("PopGraphView");
    popGraphView_->setGeometry(x + 8, 286, w - 16, 116);
    popGraphView_->raise();
    popGraph_ = Add<Canvas>("PopGraph", -1, popGraphView_);
    popGraph_->setGeometry(0, 0, w - 16, 116);
}

// --- Load ----------------------------------------------------------------------------------

void Pop::Form_Load() {
    suppressEvents = false;
    sized_ = false;
    const double margin = 3 * U();

    FillSeriesChoice();

    Unbind();
    popListDisplay_ = std::make_unique<ListViewDisplay>(popListView_);
    popList_ = std::make_shared<ResultSet>();
    popList_->Init("", nullptr, "Alle Hitparaden des gew\xe4hlten Namens", nullptr, popListDisplay_.get());
    // "68    (von 100)" is wider than "68    (of 100)".
    const double rankShare = TextConstants::textLanguage == 1 ? 0.45 : 0.5;
    popList_->DefineTwoCol("Hitparade", 1 - rankShare, LangText("Rang", "Rank"), rankShare);
    popList_->setCellFormatting(true);
    popList_->ShowColor();
    popListDisplay_->InitSize(*popList_, Client(), true, margin, false, 0, popListFrame_);

    namesDisplay_ = std::make_unique<ListViewDisplay>(namesView_);
    names_ = std::make_shared<ResultSet>();
    names_->Init("PopNamen", nullptr, "Alle Namen der gew\xe4hlten Hitparade", nullptr, namesDisplay_.get());
    names_->DefineTwoCol("Name", 0.7, LangText("Rang", "Rank"), 0.3);
    names_->ShowColor();
    namesDisplay_->InitSize(*names_, Client(), true, margin, false, 0, namesFrame_);

    yearsDisplay_ = std::make_unique<ComboBoxDisplay>(graphYearBox_);
    years_ = std::make_shared<ResultSet>();
    years_->Init("Jahre", nullptr, "Alle Jahre des gew\xe4hlten Namens", nullptr, yearsDisplay_.get());

    graph_.Init(popGraph_, popGraphView_);
    // The chart keeps the right-hand edge of the boxes above it: the margin
    // is the room the design leaves right of the chart's area.
    const double graphRight = (kWidth - popGraphView_->geometry().right() - 1) * 15.0;
    graph_.InitSize(Client(), true, margin, true, graphRight, popGraphFrame_);
    chartFont_ = std::make_shared<QFont>(LowLevel::ArialFont(false));

    Tip(curName_, "Gew\xfcnschten Namen eingeben/Anzeige des gew\xe4hlten Namens",
        "Choose a name/display of the currently selected name");
    Tip(showName_, "Hitparaden zum eingegebenen Namen anzeigen",
        "Show the hitparades for the currently selected name");
    Tip(nameInfo_, "Informationen zum eingegebenen Namen im Fenster 'Name/Gruppe' anzeigen",
        "Show information about the currently selected name in the window 'Name/Group'");
    Tip(asList_, "Alle Namen der momentan angezeigten Hitparade als Liste \xfc" "bergeben",
        "Turn all the names of the currently displayed hitparade into a list");
    Tip(showEx_, "Beispiele interessanter Namen anzeigen", "Show examples of names with interesting hitparades");
    Tip(showHelp_, "Hilfe zum Fenster anzeigen", "Show help for this window");
    Tip(curPopDescr_, "Beschreibung der momentan angezeigten Hitparade",
        "Description of the currently displayed hitparade");
    Tip(curPopSeries_, "Hitparaden-Serie (aus welchem Land) frei, d. h. unabh\xe4ngig vom Namen, ausw\xe4hlen",
        "Freely choose among series of hitparades of various countries");
    Tip(curPop_, "Hitparade aus der gew\xe4hlten Serie frei, d. h. unabh\xe4ngig vom Namen, w\xe4hlen",
        "Freely choose (i.e. independently from names) a hitparade from the selected series");
    Tip(showSeries_, "Art der Hitparaden-Grafik w\xe4hlen - ganze Serie zeigen",
        "Choose the type of graph for the hitparade - show a complete series");
    Tip(showYear_, "Art der Hitparaden-Grafik w\xe4hlen - alle Hitparaden aus gew\xe4hltem Jahr zeigen",
        "Choose the type of graph for the hitparade - show all hitparades for the selected year");
    Tip(popGraph_, "Grafik der Serie der momentan angezeigten Hitparade oder Grafik zum gew\xe4hlten Jahr",
        "Graph for a complete series or graph for the selected year");
    SetEnglishTexts();

    // Handlers.
    GuardBox(curName_, {});  // typing shows nothing; the Show button does
    curName_->onEnter = [this] { showName_->Press(); };
    showName_->onClick = [this] { ShowName_Click(); };
    nameInfo_->onClick = [this] { NameInfo_Click(); };
    asList_->onClick = [this] { AsList_Click(); };
    showEx_->onClick = [this] {
        if (!WinMan::ActionBlocked()) Examples::ShowExample(Name());
    };
    popListView_->onClick = [this] { PopList_Click(); };
    namesView_->onClick = [this] { Names_Click(); };
    // Enter on a line opens the name, as the Name button does.
    namesView_->onEnter = [this] { NameInfo_Click(); };
    GuardCombo(curPopSeries_, savedSeries_, &Pop::CurPopSeries_Click);
    GuardCombo(curPop_, savedPop_, &Pop::CurPop_Click);
    GuardCombo(graphYearBox_, savedYear_, &Pop::GraphYear_Click);
    for (ComboBox* box : {curPopSeries_, curPop_, graphYearBox_})
        box->onDropDown = [box] { LowLevel::SetComboDropHeight(box); };
    // A refused click on a chart type puts the type in force back, also
    // when none was on.
    for (OptionButton* b : {showSeries_, showYear_}) {
        b->onClick = [this, b] {
            if (suppressEvents) return;
            if (WinMan::ActionBlocked()) {
                Suppress quiet(*this);
                b->SetValue(false);
                if (graphMode_ == kSeriesGraph) showSeries_->SetValue(true);
                if (graphMode_ == kYearGraph) showYear_->SetValue(true);
                return;
            }
            if (b == showSeries_)
                ShowSeries_Click();
            else
                ShowYear_Click();
        };
    }
    asList_->setEnabled(Auto::IsAvailable(WindowNames::kNameLists));
    nameInfo_->setEnabled(Auto::IsAvailable(WindowNames::kSingleName));
    showEx_->setEnabled(static_cast<bool>(Examples::showExample));

    savedCurName_.clear();
    savedSeries_.clear();
    savedPop_.clear();
    savedYear_.clear();
    browseCopy.reset();
    browseCopyTitle.clear();
    namesBusy_ = keepSelection_ = false;
    ClearNamePart();
    ClearPopPart();
    ClearGraph();
    FollowClientSize();
    sized_ = true;
}

void Pop::SetEnglishTexts() {
    const bool english = TextConstants::textLanguage == 1;
    // The captions that the clearing routines do not set.
    freeChoiceFrame_->setTitle(QtText::ToQt(LangText("Freie Wahl der Hitparade", "Free choice of hitparade")));
    seriesLabel_->setText(QtText::ToQt(LangText("Serie:", "Series:")));
    hitparadeLabel_->setText(QStringLiteral("Hitparade:"));
    graphFrame_->setTitle(QtText::ToQt(LangText("Art der Grafik", "Type of graph")));
    if (!english) return;
    SetCaption("Hitparades");
    showName_->SetCaption("Show");
    nameInfo_->SetCaption("Name");
    asList_->SetCaption("As List");
    showEx_->SetCaption("Example");
    showSeries_->SetCaption("Series");
    showYear_->SetCaption("Years");
    popList_->setToolTipText("All hitparades where the currently selected name appears");
    names_->setToolTipText("All names of the currently selected hitparade");
    years_->setToolTipText("All years with available hitparades for the currently selected name");
}

void Pop::SetFrameTitle(QGroupBox* frame, const std::string& text) {
    if (frame) frame->setTitle(QtText::ToQt(text));
}

void Pop::FillSeriesChoice() {
    seriesAtoms_.clear();
    if (DataBase::sePopSeries != nullptr && DataBase::sePopSeries != DataBase::nothingAtom) {
        for (Prop* p : DataBase::sePopSeries->props()) {
            if (p == nullptr || p->proper() != DataBase::prMember || !(p->kind() == 0 || p->kind() == 2)) continue;
            atom* s = p->atomVal();
            if (s != nullptr && s->kind() == 11 && HoldsHitParade(s)) seriesAtoms_.push_back(s);
        }
    }
    DataBase::SortAtomsByText(seriesAtoms_, static_cast<int>(seriesAtoms_.size()));
    Suppress quiet(*this);
    curPopSeries_->Clear();
    for (atom* s : seriesAtoms_) curPopSeries_->AddItem(s->Text());
    curPopSeries_->SetListIndex(-1);
}

void Pop::GuardCombo(ComboBox* box, std::string& saved, void (Pop::*action)()) {
    box->onGotFocus = [box, &saved] { saved = box->Text(); };
    box->onClick = [this, box, &saved, action] {
        if (suppressEvents) return;
        if (WinMan::ActionBlocked()) {
            Suppress quiet(*this);
            const int i = box->findText(QtText::ToQt(saved), Qt::MatchExactly);
            box->SetListIndex(saved.empty() ? -1 : i);
            return;
        }
        (this->*action)();
        saved = box->Text();
    };
}

// --- Clearing --------------------------------------------------------------------------------

void Pop::ClearNamePart() {
    Suppress quiet(*this);
    curName_->SetText("");
    popList_->Reset();
    popList_->setSelfAtom(nullptr);
    popList_->Show();
    SetFrameTitle(popListFrame_, LangText("Alle Hitparaden f\xfcr Name", "All hitparades for name"));
    entries_.clear();
    series_.clear();
    numEntries_ = numSeries_ = featured_ = 0;
}

void Pop::ClearGraph() {
    Suppress quiet(*this);
    years_->Reset();
    years_->Show();
    graphYearBox_->SetListIndex(-1);
    showSeries_->SetValue(false);
    showYear_->SetValue(false);
    graph_.SetContentHeight(0);
    graph_.Clear();
    SetFrameTitle(popGraphFrame_, LangText("Grafik", "Graph"));
    graphMode_ = kNoGraph;
    graphSeries_ = kNone;
    graphYear_ = kNone;
    lastChart_ = PopChart::Layout{};
}

void Pop::ClearPopPart() {
    Suppress quiet(*this);
    curPopDescr_->setPlainText(QString());
    names_->Reset();
    names_->setSelfAtom(nullptr);
    names_->Show();
    SetFrameTitle(curPopDescrFrame_, LangText("Beschreibung", "Description"));
    SetFrameTitle(namesFrame_, "Hitparade");
}

void Pop::ClearFreeChoice() {
    Suppress quiet(*this);
    curPopSeries_->SetListIndex(-1);
    curPop_->Clear();
    popAtoms_.clear();
}

// --- Showing -----------------------------------------------------------------------------------

void Pop::ShowAtom(atom* a, atom* name) {
    if (a == nullptr || !IsLoaded()) return;
    switch (a->kind()) {
    case 10:
        if (name == nullptr) {
            ClearNamePart();
            ClearGraph();
            ShowPopAtom(a, nullptr);
        } else {
            ClearFreeChoice();
            ShowNameAtom(name);
            ShowPopAtom(a, name);
            if (numEntries_ > 0) ShowGraphForPop(a);
        }
        break;
    case 11: ShowSeriesAtom(a, name); break;
    case 0:
    case 1:
        ClearFreeChoice();
        ClearPopPart();
        ClearGraph();
        ShowNameAtom(a);
        if (numEntries_ > 0 && !keepSelection_ && popList_->numLines() > 0) {
            atom* first = popList_->atom(0);
            {
                Suppress quiet(*this);
                popList_->markLine(0);
            }
            ShowPopAtom(first, a);
            ShowGraphForPop(first);
        }
        break;
    default: break;  // a group reached through an old form, or anything else: nothing
    }
}

void Pop::ShowSeriesAtom(atom* seriesAtom, atom* name) {
    if (name == nullptr || seriesAtom == nullptr) return;
    ShowNameAtom(name);
    if (numSeries_ == 0) return;
    bool present = false;
    for (int i = 0; i < numSeries_; ++i) present = present || series_[static_cast<size_t>(i)].series == seriesAtom;
    if (!present) {
        // The name is not ranked in that series: its hit parades stand,
        // nothing is marked, and no other hit parade or chart stays on view.
        ClearPopPart();
        ClearGraph();
        return;
    }
    int si = kNone, ei = kNone;
    Searches::LocateSeries(seriesAtom, entries_, numEntries_, series_, numSeries_, si, ei);
    if (si == kNone || ei == kNone || ei >= numEntries_) {
        ClearPopPart();
        ClearGraph();
        return;
    }
    {
        Suppress quiet(*this);
        popList_->markLine(featured_ + ei);
    }
    ShowPopAtom(entries_[static_cast<size_t>(ei)].pop, name);
    DrawSeriesChart(si);
}

void Pop::ShowGraphForPop(atom* pop) {
    for (int i = 0; i < numEntries_; ++i) {
        if (entries_[static_cast<size_t>(i)].pop == pop) {
            DrawSeriesChart(entries_[static_cast<size_t>(i)].seriesIndex);
            return;
        }
    }
    // The hit parade is none of the name's (a link that carried another name).
    Errors::Assert(false, "ShowGraphForPop numPo");
    ClearGraph();
}

void Pop::ShowPopAtom(atom* pop, atom* name) {
    if (pop == nullptr) return;
    Suppress quiet(*this);
    pop->LoadOnDemand();
    std::string descr = pop->Descr();
    if (Prop* src = pop->FirstProp(DataBase::prSource); src != nullptr && (src->kind() == 1 || src->kind() == 2)) {
        // The source follows the description's sentence, not its full stop.
        if (!descr.empty() && descr.back() == '.') descr.pop_back();
        descr += LangText("; Quelle: ", "; Source: ") + std::string(src->strVal());
    }
    curPopDescr_->setPlainText(QtText::ToQt(descr));
    const std::string text = pop->Text();
    SetFrameTitle(curPopDescrFrame_, LangText("Beschreibung von ", "Description for ") + text);

    names_->Reset();
    int nameRow = -1;
    for (const PopRows::Row& r : PopRows::PopNameRows(pop, name, nameRow))
        names_->AddResult2(r.text, r.rank, r.reason, r.a);
    names_->Show();
    if (nameRow >= 0) {
        WinMan::FocusIfCurrent(*this, namesView_);
        names_->markLine(nameRow);
    }
    names_->setSelfAtom(pop);
    names_->setPureTitle(LangText(" aus Hitparade ", " from hitparade ") + text);
    SetFrameTitle(namesFrame_, text);
}

void Pop::ShowNameAtom(atom* name) {
    if (name == nullptr) return;
    Suppress quiet(*this);
    curName_->SetText(name->Text());
    entries_.clear();
    series_.clear();
    numEntries_ = numSeries_ = 0;
    if (Prop* p = name->FirstProp(DataBase::prPop); p != nullptr && (p->kind() == 1 || p->kind() == 2))
        Searches::SortPop(name, std::string(p->strVal()), entries_, numEntries_, series_, numSeries_);

    popList_->Reset();
    for (const PopRows::Row& r : PopRows::NameRows(entries_, numEntries_, series_, numSeries_, featured_))
        popList_->AddResult2(r.text, r.rank, r.reason, r.a);
    popList_->setSelfAtom(name);
    popList_->Show();
    SetFrameTitle(popListFrame_, LangText("Alle Hitparaden f\xfcr ", "All hitparades for ") + name->Text());

    years_->Reset();
    for (const std::string& y : PopRows::YearList(entries_, numEntries_)) years_->AddResult(y, "", nullptr);
    years_->Show();
    graphYearBox_->SetListIndex(-1);
}

// --- Charts ----------------------------------------------------------------------------------

PopChart::Area Pop::ChartArea() const {
    // Labels as large as the window's other text, however many rows.
    const double points = QFontInfo(Client()->font()).pointSizeF();
    return {graph_.width(), graph_.height(), static_cast<double>(U()), PopChart::MinRowHeight(points)};
}

PopChart::Layout Pop::FitCanvas(const std::function<PopChart::Layout(const PopChart::Area&)>& layOut, bool newChart) {
    PopChart::Layout layout = layOut(ChartArea());
    // Rows below the visible canvas make it taller and scroll; the scroll
    // bar takes its width from the bars, so they are laid out again.
    const double width = graph_.width();
    graph_.SetContentHeight(layout.rows > 0 ? layout.height + U() / 2.0 : 0);
    if (graph_.width() != width) layout = layOut(ChartArea());
    if (newChart) popGraphView_->verticalScrollBar()->setValue(0);
    return layout;
}

void Pop::Paint(const PopChart::Layout& layout) {
    lastChart_ = layout;
    for (const PopChart::Label& l : layout.labels) {
        GraphObj label;
        label.InitLabel(&graph_, l.text, chartFont_, l.alignment, l.left, l.top, l.width, l.height);
        label.draw();
    }
    for (const PopChart::Bar& b : layout.bars) {
        GraphObj bar;
        bar.InitRectangle(&graph_, b.left, b.top, b.width, b.height);
        bar.setDrawWidth(b.lineWidth);
        bar.setBackColor(b.fill);
        bar.setForeColor(0);
        bar.draw();
    }
}

void Pop::DrawSeriesChart(int seriesIndex) {
    const bool newChart = graphMode_ != kSeriesGraph || graphSeries_ != seriesIndex;
    graphMode_ = kSeriesGraph;
    graphSeries_ = seriesIndex;
    graph_.Clear();
    auto measure = [this](const std::string& text, double height) {
        GraphObj probe;
        probe.InitLabel(&graph_, text, chartFont_, 0, 0, 0, 10 * U(), height);
        return probe.StrSize();
    };
    const std::string name = curName_->Text();
    PopChart::Layout layout = FitCanvas(
        [&](const PopChart::Area& area) {
            return PopChart::SeriesChart(seriesIndex, entries_, numEntries_, series_, numSeries_, name, area, measure);
        },
        newChart);
    if (layout.clearGraph) {
        ClearGraph();
        return;
    }
    if (!layout.caption.empty()) SetFrameTitle(popGraphFrame_, layout.caption);
    {
        Suppress quiet(*this);
        showSeries_->SetValue(true);
    }
    Paint(layout);
}

void Pop::DrawYearChart(int year) {
    const bool newChart = graphMode_ != kYearGraph || graphYear_ != year;
    graphMode_ = kYearGraph;
    graphYear_ = year;
    graph_.Clear();
    auto measure = [this](const std::string& text, double height) {
        GraphObj probe;
        probe.InitLabel(&graph_, text, chartFont_, 0, 0, 0, 30 * U(), height);
        return probe.StrSize();
    };
    PopChart::Layout layout = FitCanvas(
        [&](const PopChart::Area& area) { return PopChart::YearChart(year, entries_, numEntries_, area, measure); },
        newChart);
    SetFrameTitle(popGraphFrame_, layout.caption);
    Paint(layout);
}

// --- Commands ---------------------------------------------------------------------------------

void Pop::ShowName_Click() {
    if (!IsLoaded() || WinMan::ActionBlocked()) return;
    std::string text = curName_->Text();
    Searches::LocateName(text, 0, 1, this);
}

void Pop::PopList_Click() {
    if (suppressEvents || WinMan::ActionBlocked() || !popList_) return;
    popList_->SyncMarked();
    const int32_t line = popList_->SelIndex();
    if (line < 0 || line >= popList_->numLines()) return;
    atom* pop = popList_->atom(line);
    ShowPopAtom(pop, popList_->selfAtom());
    ShowGraphForPop(pop);
}

void Pop::Names_Click() {
    if (suppressEvents || namesBusy_ || WinMan::ActionBlocked() || !names_) return;
    namesBusy_ = true;
    names_->SyncMarked();
    const int32_t line = names_->SelIndex();
    if (line >= 0 && line < names_->numLines()) {
        atom* pop = names_->selfAtom();
        atom* name = names_->atom(line);
        keepSelection_ = true;
        ShowAtom(name, nullptr);
        keepSelection_ = false;
        ShowPopAtom(pop, name);
        if (numEntries_ > 0) {
            // The clicked name's own entry for that hit parade, when it has one.
            bool ranked = false;
            for (int i = 0; i < numEntries_; ++i) ranked = ranked || entries_[static_cast<size_t>(i)].pop == pop;
            if (ranked) ShowGraphForPop(pop);
        }
    }
    keepSelection_ = false;
    namesBusy_ = false;
}

void Pop::NameInfo_Click() {
    if (WinMan::ActionBlocked() || !names_ || names_->numLines() == 0) return;
    names_->SyncMarked();
    const int32_t line = names_->SelIndex();
    if (line < 0 || line >= names_->numLines()) return;  // no row chosen: no name to show
    TableItemToNameWindow(*names_);
    nameWindowPending = false;  // the hit parades keep the focus
}

void Pop::AsList_Click() {
    if (WinMan::ActionBlocked() || !names_ || names_->numLines() == 0) return;
    ResultSet list;
    list.InitInt();
    for (int32_t i = 0; i < names_->numLines(); ++i) {
        atom* a = names_->atom(i);
        list.AddResult(a != nullptr ? a->Text() : std::string(), names_->reason(i), a);
    }
    Searches::NewRes(names_->pureTitle(), list, Searches::kAlone);
}

void Pop::ShowSeries_Click() {
    if (suppressEvents) return;
    if (graphSeries_ == kNone) {
        // No series chart since the last clearing: the year chart, if a year is chosen.
        if (!graphYearBox_->Text().empty()) showYear_->SetValue(true);
        return;
    }
    DrawSeriesChart(graphSeries_);
}

void Pop::ShowYear_Click() {
    if (suppressEvents) return;
    if (years_->numLines() == 0) {
        // No year to chart: the series option takes over, and its handler
        // draws what it can.
        showSeries_->SetValue(true);
        return;
    }
    if (graphYearBox_->Text().empty()) {
        Suppress quiet(*this);
        graphYearBox_->SetListIndex(0);
    }
    savedYear_ = graphYearBox_->Text();
    DrawYearChart(Basic::CLng(Basic::Val(graphYearBox_->Text())));
}

void Pop::CurPopSeries_Click() {
    const int i = curPopSeries_->ListIndex();
    Suppress quiet(*this);
    curPop_->Clear();
    popAtoms_.clear();
    if (i < 0 || i >= static_cast<int>(seriesAtoms_.size())) return;
    atom* s = seriesAtoms_[static_cast<size_t>(i)];
    for (Prop* p : s->props()) {
        atom* pop = HitParadeOf(p);
        if (pop == nullptr) continue;
        pop->LoadOnDemand();
        pop->sortKey() = pop->Text() + " " + PopRows::genderStr(pop);
        popAtoms_.push_back(pop);
    }
    DataBase::SortAtomsBySortKey(popAtoms_, static_cast<int>(popAtoms_.size()));
    for (atom* pop : popAtoms_) curPop_->AddItem(pop->sortKey());
    curPop_->SetListIndex(-1);
}

void Pop::CurPop_Click() {
    const int i = curPop_->ListIndex();
    if (i < 0 || i >= static_cast<int>(popAtoms_.size())) return;
    ShowAtom(popAtoms_[static_cast<size_t>(i)], nullptr);
}

void Pop::GraphYear_Click() {
    if (graphYearBox_->Text().empty()) return;
    {
        Suppress quiet(*this);
        showYear_->SetValue(true);
    }
    DrawYearChart(Basic::CLng(Basic::Val(graphYearBox_->Text())));
}

std::string Pop::PopDescription() const {
    return curPopDescr_ ? QtText::FromQt(curPopDescr_->toPlainText()) : std::string();
}

// --- Size, notifications, unload ---------------------------------------------------------------

void Pop::Form_Resize() {
    if (IsLoading() || !sized_ || !popList_ || !names_) return;
    popListDisplay_->Resize(*popList_);
    namesDisplay_->Resize(*names_);
    graph_.Resize();
    if (graphMode_ == kSeriesGraph && graphSeries_ != kNone)
        DrawSeriesChart(graphSeries_);
    else if (graphMode_ == kYearGraph && graphYear_ != kNone)
        DrawYearChart(graphYear_);
}

void Pop::OnNotify(int code, const std::string& text) {
    switch (code) {
    case 0: FollowDescriptionLink(text, popList_ ? popList_->selfAtom() : nullptr); break;
    case 3: ShowName_Click(); break;
    default: break;
    }
}

void Pop::Form_Unload(bool&) {
    Unbind();
    popList_.reset();
    names_.reset();
    years_.reset();
    popListDisplay_.reset();
    namesDisplay_.reset();
    yearsDisplay_.reset();
    entries_.clear();
    series_.clear();
    numEntries_ = numSeries_ = 0;
    seriesAtoms_.clear();
    popAtoms_.clear();
    sized_ = false;
}
