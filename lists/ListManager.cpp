#include "ListManager.h"

#include <vector>

#include "Atom.h"
#include "AtomAccess.h"
#include "Basic.h"
#include "CountText.h"
#include "Cp1252.h"
#include "DataBase.h"
#include "Services.h"
#include "TextConstants.h"

namespace ListManager {

using TextConstants::LangText;

namespace {

int KindOf(const atom* a) { return a ? a->kind() : Basic::kNone; }

std::shared_ptr<ResultSet> NewInternalList() {
    auto set = std::make_shared<ResultSet>();
    set->InitInt();
    return set;
}

// The group of a name: the atom value of its first prGenName property.
atom* GroupOf(atom* name) {
    Prop* p = nullptr;
    if (!name->GetFirstProp(DataBase::prGenName, p) || p == nullptr) return nullptr;
    if (p->kind() != 0 && p->kind() != 2) return nullptr;
    atom* g = p->atomVal();
    return g == DataBase::nothingAtom ? nullptr : g;
}

std::shared_ptr<ResultSet> Filter(const ResultSet& rs, bool (*keep)(const atom*, bool), bool which) {
    auto set = NewInternalList();
    for (int32_t i = 0; i < rs.numLines(); ++i)
        if (keep(rs.atom(i), which)) set->AddFrom(rs, i);
    return set;
}

}  // namespace

std::string SortOrderText(int code) {
    switch (code) {
    case 0: return LangText("unsortiert", "not sorted");
    case 1: return LangText("aufsteigend", "ascending");
    case 2: return LangText("absteigend", "descending");
    case 3: return LangText("nach Endungen", "by endings");
    case 4: return LangText("nach Länge"_cp, "by length");
    case 5: return LangText("nach Geschlecht", "by gender");
    case 6: return LangText("nach Grund", "by reason");
    default: return {};
    }
}

bool IsOfGender(const atom* a, bool female) {
    const int k = KindOf(a);
    return female ? (k == 1 || k == 3) : (k == 0 || k == 2);
}

bool IsNameOrGroup(const atom* a, bool groups) {
    const int k = KindOf(a);
    return groups ? (k == 2 || k == 3) : (k == 0 || k == 1);
}

std::shared_ptr<ResultSet> FilterGender(const ResultSet& rs, bool female, std::string& suffix) {
    suffix = female ? LangText(", nur weiblich", ", only female") : LangText(", nur männlich"_cp, ", only male");
    return Filter(rs, &IsOfGender, female);
}

std::shared_ptr<ResultSet> FilterNamesGroups(const ResultSet& rs, bool groups, std::string& suffix) {
    suffix = groups ? LangText(", nur Gruppen", ", only groups") : LangText(", nur Namen", ", only names");
    return Filter(rs, &IsNameOrGroup, groups);
}

std::shared_ptr<ResultSet> ConvertNamesGroups(const ResultSet& rs, bool toGroups, std::string& suffix) {
    auto set = NewInternalList();
    if (toGroups) {
        suffix = LangText(", umgewandelt zu Gruppen", ", converted to groups");
        set->ShowUnique();
        for (int32_t i = 0; i < rs.numLines(); ++i) {
            atom* a = rs.atom(i);
            if (a == nullptr) {
                set->AddFrom(rs, i);  // a line without atom stays as it is
            } else if (a->isName()) {
                if (atom* g = GroupOf(a))
                    set->AddResult(g->Text(), LangText("Gruppe von '", "Group of '") + a->Text() + "'", g);
            } else {
                std::string why = rs.reason(i);
                if (why.empty()) why = LangText("bereits eine Gruppe", "Already a group");
                set->AddResult(a->Text(), why, a);
            }
        }
    } else {
        suffix = LangText(", umgewandelt zu Namen", ", converted to names");
        for (int32_t i = 0; i < rs.numLines(); ++i) {
            atom* a = rs.atom(i);
            if (a == nullptr) {
                set->AddFrom(rs, i);
            } else if (!a->isGenName()) {
                std::string why = rs.reason(i);
                if (why.empty()) why = LangText("bereits ein Name", "Already a name");
                set->AddResult(a->Text(), why, a);
            } else {
                const std::string why = LangText("aus Gruppe '", "from group '") + a->Text() + "'";
                for (atom* name : ListAtoms::PropTargets({a}, DataBase::prNameVariant, 0, 1))
                    set->AddResult(name->Text(), why, name);
            }
        }
    }
    return set;
}

std::shared_ptr<ResultSet> RunStep(Step step, const ResultSet& rs, std::string& suffix) {
    switch (step) {
    case Step::FemaleOnly: return FilterGender(rs, true, suffix);
    case Step::MaleOnly: return FilterGender(rs, false, suffix);
    case Step::ToNames: return ConvertNamesGroups(rs, false, suffix);
    case Step::ToGroups: return ConvertNamesGroups(rs, true, suffix);
    case Step::NamesOnly: return FilterNamesGroups(rs, false, suffix);
    case Step::GroupsOnly: return FilterNamesGroups(rs, true, suffix);
    }
    return nullptr;
}

std::string CurrentListCaption(const ResultSet& rs) {
    return CountText::ResultSizeText(rs) + LangText(" in aktueller Liste", " in current list");
}

// --- the manager ------------------------------------------------------------------

void Manager::Init(Host* host, std::shared_ptr<ResultSet> historyList) {
    host_ = host;
    history_.Init();
    history_.SetListBox(std::move(historyList));
    nextListId_ = kFirstListId;
    busy_ = false;
}

void Manager::NewRes(std::shared_ptr<ResultSet>& rs) {
    if (!host_ || !rs) {
        Services::HourglassOff();
        return;
    }
    const bool wasBusy = busy_;
    busy_ = true;
    host_->ShowWindow();
    const std::string countBefore = CountText::ResultSizeText(*rs);
    bool anyStep = false;
    for (Step step : kStepOrder) {
        if (!host_->AutoStepChecked(step)) continue;
        std::string suffix;
        std::shared_ptr<ResultSet> stepped = RunStep(step, *rs, suffix);
        std::shared_ptr<ResultSet> next = host_->CreateResultSet(rs->pureTitle() + suffix);
        if (!next || !stepped) continue;
        next->AddAllFrom(*stepped);
        rs = next;
        anyStep = true;
    }
    if (anyStep) rs->setPureTitle(LangText(" von ", " of ") + countBefore + rs->pureTitle());
    // 31999 means "no number": a list never gets it.
    if (nextListId_ == Basic::kNone) ++nextListId_;
    rs->setId(nextListId_++);
    rs->Sort(host_->NewSortOrder());
    rs->setNumCol(2);
    rs->Show(nullptr);
    history_.Add(rs);
    host_->ShowSortOrder(rs->SortOrder());
    busy_ = wasBusy;
    ShowSet(rs);
    Services::HourglassOff();
}

void Manager::ShowSet(const std::shared_ptr<ResultSet>& rs) {
    if (!host_) return;
    if (!rs) {
        host_->ShowCurrentTitle("");
        return;
    }
    host_->ShowCurrentTitle(rs->title());
    host_->ShowSortOrder(rs->SortOrder());
    host_->ListsChanged();
    host_->ShowNamesCaption(CurrentListCaption(*rs));
}

void Manager::GoBack() {
    if (auto rs = history_.GoBack()) ShowSet(rs);
}

void Manager::GoForward() {
    if (auto rs = history_.GoForward()) ShowSet(rs);
}

void Manager::SetCurrent(int i) {
    if (i < 0 || i >= history_.numSets()) return;
    history_.SetCurrent(i);
    ShowSet(history_.current());
}

void Manager::ResortCurrent(int code) {
    std::shared_ptr<ResultSet> rs = current();
    if (!rs || code < 0 || code >= kNumSortOrders) return;
    Services::HourglassOn();
    rs->Sort(code);
    rs->Show(nullptr);
    Services::HourglassOff();
}

std::shared_ptr<ResultSet> Manager::StepOnCurrent(Step step, std::string& suffix) const {
    std::shared_ptr<ResultSet> rs = current();
    if (!rs) return nullptr;
    return RunStep(step, *rs, suffix);
}

}  // namespace ListManager
