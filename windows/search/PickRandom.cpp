#include "PickRandom.h"

#include <QGroupBox>
#include <QLabel>

#include "Basic.h"
#include "Cp1252.h"
#include "DataBase.h"
#include "GenMsg.h"
#include "Parser.h"
#include "ResultSet.h"
#include "Searches.h"
#include "Services.h"
#include "TextConstants.h"
#include "WinMan.h"
#include "windows/lists/NameLists.h"

using RandomPick::Base;
using TextConstants::LangText;

namespace {

struct OptionSpec {
    const char* name;
    const char* german;  // UTF-8; "%" stands for the count
    const char* english;
};
constexpr OptionSpec kOptions[] = {
    {"All", "aus allen % Namen", "From all % names"},
    {"AllFemale", "aus allen % weiblichen Namen", "From all % female names"},
    {"AllMale", "aus allen % männlichen Namen", "From all % male names"},
    {"AllGen", "aus allen % Gruppen", "From all % groups"},
    {"AllFemaleGen", "aus allen % weiblichen Gruppen", "From all % female groups"},
    {"AllMaleGen", "aus allen % männlichen Gruppen", "From all % male groups"},
    {"ActList", "aus allen % Namen der aktuellen Liste", "From all % names of the current list"},
};

// The current list of the list manager, when its window is loaded.
std::shared_ptr<ResultSet> CurrentList() {
    auto* lists = dynamic_cast<NameLists*>(Auto::GetForm(WindowNames::kNameLists));
    return lists && lists->IsLoaded() ? lists->current() : nullptr;
}

}  // namespace

// No close guard: the window may be closed while input is blocked.
PickRandom::PickRandom()
    : ChildForm("PickRandom", Kind::MdiChild, kPlaced | kInHistory | kStored), numbers_(*this) {}

void PickRandom::BuildControls() {
    constexpr int kWidth = 400, kHeight = 300;
    SetClientSize(kWidth, kHeight);
    SetCaption(Cp("Zufällig auswählen"));
    baseFrame_ = Add<QGroupBox>("BaseFrame");
    baseFrame_->setTitle(QString::fromUtf8("Ausw\u00e4hlen"));
    baseFrame_->setGeometry(8, 6, 384, 190);
    for (int i = 0; i < kNumBases; ++i) {
        auto* o = Add<OptionButton>(kOptions[i].name, -1, baseFrame_);
        o->setGeometry(12, 22 + i * 23, 364, 22);
        options_[static_cast<size_t>(i)] = o;
    }
    totalNumLabel_ = Add<QLabel>("TotalNumLabel");
    totalNumLabel_->setGeometry(8, 204, 210, 22);
    totalNum_ = Add<TextBox>("TotalNum");
    totalNum_->setReadOnly(true);
    totalNum_->setGeometry(222, 204, 80, 22);
    pickNumLabel_ = Add<QLabel>("PickNumLabel");
    pickNumLabel_->setGeometry(8, 232, 210, 22);
    pickNum_ = Add<TextBox>("PickNum");
    pickNum_->setGeometry(222, 232, 80, 22);
    pick_ = Add<CommandButton>("Pick");
    pick_->setGeometry(8, 266, 110, 26);
    pick_->setDefault(true);
    showHelp_ = AddHelpButton();
    showHelp_->setGeometry(312, 266, 80, 26);
    totalNumLabel_->setText(QString::fromUtf8("Anzahl Namen zur Verf\u00fcgung:"));
    pickNumLabel_->setText(QString::fromUtf8("Anzahl Namen auszuw\u00e4hlen:"));
    pick_->SetCaption(Cp("Auswählen"));
    SetSizable(false);  // at its designed size
}

OptionButton* PickRandom::Option(Base base) const { return options_[static_cast<size_t>(base)]; }

std::string PickRandom::CaptionText(Base base) const {
    const OptionSpec& s = kOptions[static_cast<int>(base)];
    int32_t count = 0;
    switch (base) {
    case Base::All: count = DataBase::numAllNames; break;
    case Base::Female: count = DataBase::numAllFemale; break;
    case Base::Male: count = DataBase::numAllMale; break;
    case Base::Groups: count = DataBase::numAllGenNames; break;
    case Base::FemaleGroups: count = DataBase::numAllFemaleGen; break;
    case Base::MaleGroups: count = DataBase::numAllMaleGen; break;
    case Base::CurrentList: count = currentCount_; break;
    }
    std::string text = LangText(Cp(s.german), s.english);
    Parser::ReplaceAll(text, "%", std::to_string(count));
    return text;
}

Base PickRandom::Chosen() const {
    for (int i = 0; i < kNumBases; ++i)
        if (options_[static_cast<size_t>(i)]->Value()) return static_cast<Base>(i);
    return Base::All;
}

void PickRandom::Form_Load() {
    suppressEvents = false;
    Tip(baseFrame_, "Angabe der Grundmenge, aus der Namen gew\xe4hlt werden",
        "Choose the set of names the random names are picked from");
    Tip(totalNum_, "Total-Anzahl der zur Auswahl stehenden Namen", "Total number of available names");
    Tip(pickNum_, "Eingabe der gew\xfcnschten Anzahl Namen",
        "Specify how many names to pick from the total of available names");
    Tip(pick_, "Zuf\xe4llige Auswahl der gew\xfcnschten Anzahl Namen starten", "Start the random picking process");
    Tip(showHelp_, "Hilfe zum Fenster anzeigen", "Show help for this window");
    SetEnglishTexts();
    for (int i = 0; i < kNumBases - 1; ++i)
        options_[static_cast<size_t>(i)]->SetCaption(CaptionText(static_cast<Base>(i)));
    RefreshCurrentCount();

    std::vector<OptionButton*> group;
    for (auto& o : options_) group.push_back(o);
    GuardOptions(group, [this](int i) { Option_Click(static_cast<Base>(i)); });
    numbers_.Clear();
    numbers_.Add(pickNum_, [this] { return CheckPickNum(); });
    pick_->onClick = [this] { Pick_Click(); };

    Option(Base::All)->SetValue(true);
    Option_Click(Base::All);  // the guard only chooses: TotalNum and the caption follow here
}

void PickRandom::SetEnglishTexts() {
    if (TextConstants::textLanguage != 1) return;
    SetCaption("Random Names");
    baseFrame_->setTitle("Pick");
    totalNumLabel_->setText("Total number available:");
    pickNumLabel_->setText("Number of names to pick:");
    pick_->SetCaption("Pick");
    showHelp_->SetCaption("Help");
}

void PickRandom::RefreshCurrentCount() {
    std::shared_ptr<ResultSet> cur = CurrentList();
    currentCount_ = cur ? cur->numLines() : 0;
    Option(Base::CurrentList)->SetCaption(CaptionText(Base::CurrentList));
}

void PickRandom::Option_Click(Base base) {
    const std::string caption = CaptionText(base);
    SetTextQuietly(totalNum_, std::to_string(base == Base::CurrentList ? currentCount_ : [&] {
        switch (base) {
        case Base::All: return DataBase::numAllNames;
        case Base::Female: return DataBase::numAllFemale;
        case Base::Male: return DataBase::numAllMale;
        case Base::Groups: return DataBase::numAllGenNames;
        case Base::FemaleGroups: return DataBase::numAllFemaleGen;
        default: return DataBase::numAllMaleGen;
        }
    }()));
    baseCaption_ = caption;
}

bool PickRandom::PickNum_LostFocus() { return numbers_.Leave(pickNum_); }

bool PickRandom::CheckPickNum() {
    if (GenMsg::CheckNumberField(pickNum_->Text())) return true;
    // One message per leave: the box gets a number that passes, so the user
    // can correct it or go on with "1" rather than meet the same message at
    // every click elsewhere.
    SetTextQuietly(pickNum_, "1");
    return false;
}

void PickRandom::Pick_Click() {
    if (WinMan::ActionBlocked()) return;
    // Enter, or a tutorial's command, may come before the field lost the focus.
    if (!numbers_.CheckAll()) return;
    const long n = GenMsg::NumberFieldValue(pickNum_->Text());
    const Base base = Chosen();
    std::vector<atom*> set = RandomPick::BaseSet(base, CurrentList().get());
    // The count shown may be stale (the current list changed): the set decides.
    if (n > static_cast<long>(set.size())) {
        GenMsg::ShowMsg(GenMsg::GMtooManyRandom, 1, std::to_string(n - static_cast<long>(set.size())));
        return;
    }
    RandomPick::Draw(set, static_cast<size_t>(n), Services::Rnd());
    ResultSet picked;
    picked.InitInt();
    RandomPick::FillPicked(set, static_cast<size_t>(n), picked);
    Searches::NewRes(RandomPick::Title(baseCaption_), picked, Searches::kAlone);
}

void PickRandom::OnNotify(int code, const std::string& text) {
    if (!IsLoaded()) return;
    if (code == 2) {
        RefreshCurrentCount();
        // The count shown follows the current list while it is the base.
        if (Option(Base::CurrentList)->Value()) Option_Click(Base::CurrentList);
    } else if (code == 3) {
        Pick_Click();
    }
}
