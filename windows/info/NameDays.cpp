#include "NameDays.h"

#include <QEvent>
#include <QGroupBox>

#include "Atom.h"
#include "Errors.h"
#include "GenDescr.h"
#include "InfoTables.h"
#include "Options.h"
#include "QtLowLevel.h"
#include "QtText.h"
#include "ResultSet.h"
#include "RichTextPane.h"
#include "TextConstants.h"
#include "TextDisplay.h"
#include "WinMan.h"

using TextConstants::LangText;

namespace {
constexpr int kWidth = 698, kHeight = 433;
}

// Closing the window is never refused: it has no close guard.
NameDays::NameDays() : ChildForm("NameDays", Kind::MdiChild, kPlaced | kInHistory | kStored) {}

NameDays::~NameDays() { Unbind(); }

void NameDays::Unbind() {
    if (names_) names_->Unbind();
    if (info_) info_->Unbind();
}

void NameDays::BuildControls() {
    SetClientSize(kWidth, kHeight);
    SetCaption("Heilige und Gedenktage");

    namesFrame_ = AddFrame("NamesFrame", "Heilige", {8, 4, 330, 420});
    namesView_ = Add<ListView>("Names");
    namesView_->setGeometry(16, 24, 314, 392);
    namesView_->raise();

    sortFrame_ = AddFrame("SortFrame", "Sortierung", {346, 4, 262, 48});
    sortName_ = Add<OptionButton>("SortName", -1, sortFrame_);
    sortName_->SetCaption("nach Namen");
    sortName_->setGeometry(10, 20, 100, 20);
    sortDate_ = Add<OptionButton>("SortDate", -1, sortFrame_);
    sortDate_->SetCaption("nach Gedenktag");
    sortDate_->setGeometry(116, 20, 140, 20);
    showHelp_ = AddHelpButton();
    showHelp_->setGeometry(616, 18, 74, 26);

    saintFrame_ = AddFrame("SaintFrame", "Informationen", {346, 56, 344, 368});
    saintBox_ = Add<RichTextPane>("SaintBox");
    saintBox_->setGeometry(354, 76, 328, 340);
    saintBox_->raise();
}

void NameDays::Form_Load() {
    suppressEvents = false;
    const double margin = 3 * U();
    Unbind();
    namesDisplay_ = std::make_unique<ListViewDisplay>(namesView_);
    names_ = std::make_shared<ResultSet>();
    names_->Init("Gedenktage", nullptr, "Alle Heiligen", nullptr, namesDisplay_.get());
    names_->DefineTwoCol("Name", 4.0 / 7.0, LangText("Gedenktag", "Saint's Day"), 3.0 / 7.0);
    names_->ShowReason();
    names_->ShowColor();
    namesDisplay_->InitSize(*names_, Client(), true, margin, false, 0, namesFrame_);

    td_ = std::make_unique<TextDisplay>();
    td_->Init("SaintBox", saintBox_, this);
    infoDisplay_ = std::make_unique<TextPaneDisplay>(td_.get(), saintBox_);
    info_ = std::make_shared<ResultSet>();
    info_->Init("", nullptr, "Informationen zum gew\xe4hlten Heiligen", nullptr, infoDisplay_.get());
    info_->showLinks();
    info_->ShowColor();
    infoDisplay_->InitSize(*info_, Client(), true, margin, true, margin, saintFrame_);

    byDate_ = Options::DaysSortDate;
    {
        Suppress quiet(*this);
        (byDate_ ? sortDate_ : sortName_)->SetValue(true);
    }
    GuardOptions({sortName_, sortDate_}, [this](int i) { i == 0 ? SortName_Click() : SortDate_Click(); });
    namesView_->onClick = [this] {
        if (suppressEvents || WinMan::ActionBlocked()) return;
        Names_ItemClick();
    };

    Gather();
    // Nothing is selected yet: the first saint is, so that the pane shows it.
    if (names_->numLines() > 0) {
        Suppress quiet(*this);
        names_->markLine(0);
    }
    Describe();

    Tip(sortFrame_, "Sortierung f\xfcr die Heiligen w\xe4hlen", "Choose sort order for the table of the saints");
    Tip(showHelp_, "Hilfe zum Fenster anzeigen", "Show help for this window");
    SetEnglishTexts();
    FollowClientSize();
}

void NameDays::SetEnglishTexts() {
    if (TextConstants::textLanguage != 1) return;
    SetCaption("Saints and Saints' Days");
    saintFrame_->setTitle(QStringLiteral("Information"));
    sortFrame_->setTitle(QStringLiteral("Sort order"));
    sortName_->SetCaption("By name");
    sortDate_->SetCaption("By saint's day");
    names_->setToolTipText("All saints");
    info_->setToolTipText("Information about the currently selected saint");
}

void NameDays::Gather() {
    InfoTables::FillSaints(*names_, byDate_);
    names_->Show();
    namesFrame_->setTitle(QtText::ToQt(InfoTables::SaintsCaption(names_->numLines())));
}

void NameDays::Describe() {
    info_->Reset();
    const int32_t line = names_->SelIndex();
    if (line >= 0 && line < names_->numLines()) {
        GenDescr::DescrFlags flags;
        flags.withAtomLinks = true;
        flags.richText = true;
        GenDescr::DescribeSaint(names_->atom(line), *info_, flags);
    }
    info_->Show();
}

void NameDays::Names_ItemClick() {
    if (!names_) return;
    Describe();
}

void NameDays::SortDate_Click() {
    if (!byDate_) {
        atom* selected = names_->SelIndex() >= 0 ? names_->atom(names_->SelIndex()) : nullptr;
        byDate_ = true;
        Gather();
        int32_t at = 0;
        if (selected && names_->GetAtomIndex(selected, at)) {
            Suppress quiet(*this);
            names_->markLine(at);
        }
    }
    Options::DaysSortDate = true;
}

void NameDays::SortName_Click() {
    if (byDate_) {
        atom* selected = names_->SelIndex() >= 0 ? names_->atom(names_->SelIndex()) : nullptr;
        names_->Sort(1);
        names_->Show();
        byDate_ = false;
        int32_t at = 0;
        if (selected && names_->GetAtomIndex(selected, at)) {
            Suppress quiet(*this);
            names_->markLine(at);
        }
    }
    Options::DaysSortDate = false;
}

void NameDays::ShowAtom(atom* saint) {
    if (!names_ || !saint) return;
    int32_t at = 0;
    if (!names_->GetAtomIndex(saint, at)) {
        // A saint the table does not hold: reported once, the selection stays.
        Errors::Assert(false, "NameDays.ShowAtom");
        return;
    }
    {
        Suppress quiet(*this);
        names_->markLine(at);
    }
    Describe();
    WinMan::FocusIfCurrent(*this, namesView_);
}

std::string NameDays::NamesCaption() const {
    return namesFrame_ ? QtText::FromQt(namesFrame_->title()) : std::string();
}

void NameDays::Form_Resize() {
    if (IsLoading() || !names_ || !info_) return;
    namesDisplay_->Resize(*names_);
    infoDisplay_->Resize(*info_);
}

void NameDays::Form_Unload(bool&) { Unbind(); }

void NameDays::OnNotify(int code, const std::string& text) {
    if (code == 0) FollowDescriptionLink(text, nullptr);
}
