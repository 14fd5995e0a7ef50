// The Manage Lists window ("NameLists"): the face of the list manager. It
// shows the current list with its title, count and sort order, the history of
// the last lists with back and forward, the sort order for new lists, six
// buttons that filter or convert the current list by hand and six check boxes
// that make the same steps automatic for every new list. A click on a line of
// the current list opens the name window with the current list as browse
// list, positioned on that line.
//
// Closing the window only hides it, so that the list manager keeps its
// history for the whole run; it unloads only when the program closes.
#pragma once

#include <QPointer>
#include <array>
#include <memory>
#include <string>

#include "ChildForm.h"
#include "ListManager.h"
#include "ToolTip.h"  // before ResultViews.h, which keeps a guarded ToolTip pointer
#include "ResultViews.h"
#include "WindowContracts.h"

class QGroupBox;
class QLabel;
class QStatusBar;

class NameLists : public ChildForm, public NameListsWindow, private ListManager::Host {
    Q_OBJECT
public:
    NameLists();
    ~NameLists() override;

    // --- the list manager's contract ---------------------------------------------
    std::shared_ptr<ResultSet> CreateResultSet(const std::string& title) override;
    void NewRes(std::shared_ptr<ResultSet> rs) override;
    std::shared_ptr<ResultSet> current() override { return manager_.current(); }
    bool Visible() const override { return FormBase::Visible(); }
    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;

    ListManager::Manager& manager() { return manager_; }
    // The lists of the history (read by the Combine Lists window).
    ResultHistory& listHistory() { return manager_.history(); }
    std::vector<std::shared_ptr<ResultSet>> HistoryLists() override {
        std::vector<std::shared_ptr<ResultSet>> lists;
        for (int i = 0; i < listHistory().numSets(); ++i) lists.push_back(listHistory().resSet(i));
        return lists;
    }
    std::shared_ptr<ResultSet> historySet() const { return historySet_; }

    // The handlers, public for the tutorial and the tests.
    void Names_ItemClick();
    void Names_MouseUp() { NameWindowMouseUp(); }
    void History_ItemClick();
    void GoBack_Click();
    void GoForward_Click();
    void StepButton_Click(ListManager::Step step);
    void AutoBox_Click(ListManager::Step step);
    void ActSortOrder_Click();
    void NewSortOrder_Click();

    // The check box of an automatic step and the button of the same step.
    CheckBox* AutoBox(ListManager::Step step) const;
    CommandButton* StepButton(ListManager::Step step) const;

protected:
    void BuildControls() override;
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Resize() override;
    void Form_Unload(bool& cancel) override;
    void OnNotify(int code, const std::string& text) override;

private:
    // ListManager::Host
    bool AutoStepChecked(ListManager::Step step) const override;
    int NewSortOrder() const override;
    void ShowWindow() override;
    void ShowSortOrder(int code) override;
    void ShowCurrentTitle(const std::string& title) override;
    void ShowNamesCaption(const std::string& caption) override;
    void ListsChanged() override;

    void SetEnglishTexts();
    // Back and forward are gray where the history has no list to go to.
    void UpdateArrows();
    void FillSortBox(ComboBox* box);
    void LayOut();
    // Keeps the option of a step's check box equal to the box.
    void StoreAutoOption(ListManager::Step step);
    void StoreAllAutoOptions();
    bool Idle() const { return !manager_.Busy(); }

    ListManager::Manager manager_;
    std::shared_ptr<ResultSet> namesSet_;
    std::shared_ptr<ResultSet> historySet_;
    // The bindings outlive the widgets (they hold guarded pointers), so that
    // a list still bound to the names view after an unload stays harmless.
    std::unique_ptr<ListViewDisplay> namesDisplay_;
    std::unique_ptr<ListViewDisplay> historyDisplay_;

    QPointer<QWidget> body_;
    QPointer<QGroupBox> currentListFrame_, namesFrame_, historyFrame_, convertFrame_, filterFrame_, sortFrame_;
    QPointer<TextBox> curListQuery_;
    QPointer<CommandButton> goBack_, goForward_, showHelp_;
    QPointer<ListView> names_, history_;
    QPointer<QLabel> sortCurrentLabel_, sortNewLabel_;
    QPointer<ComboBox> actSortOrder_, newSortOrder_;
    QPointer<QStatusBar> statusBar_;
    std::array<QPointer<CommandButton>, ListManager::kNumSteps> stepButtons_;
    std::array<QPointer<CheckBox>, ListManager::kNumSteps> autoBoxes_;
};

// Makes the list windows of this build known to the window manager.
void RegisterListWindows();
