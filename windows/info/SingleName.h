// "SingleName", the name and group window: the description of one name or
// group with working links, the lookup of a typed name or group, the history
// of the entries shown, and browsing one entry at a time through a list (the
// list manager's lists and copies of other windows' tables).
#pragma once

#include <memory>
#include <string>

#include "ChildForm.h"
#include "ResultHistory.h"
#include "RichTextBox.h"
#include "WindowContracts.h"

class QGroupBox;
class QStatusBar;
class RichTextPane;
class ResultSet;
class ComboBoxDisplay;
class TextDisplay;
class DescriptionPane;
class TextBoxCaption;

class SingleName : public ChildForm, public SingleNameWindow, public LinkOwner {
    Q_OBJECT
public:
    SingleName();
    ~SingleName() override;

    // --- the window's contract ---------------------------------------------------
    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;
    void ShowAtomInSet(atom* a, std::shared_ptr<ResultSet> set, bool markCurrent) override;
    using SingleNameWindow::ShowAtom;
    // The lookup of the typed text (the Show button; tutorial command 3).
    void ShowName_Click();

    // --- read by tests and tutorials ---------------------------------------------------
    atom* curAtom() const { return curAtom_; }
    const std::shared_ptr<ResultSet>& curBrowseSet() const { return curBrowseSet_; }
    const ResultHistory& nameHistory() const { return nameHistory_; }
    const ResultHistory& browseLists() const { return browseLists_; }
    // The caption of the browse frame.
    std::string BrowseCaption() const;
    // The description list on display (the current history entry).
    std::shared_ptr<ResultSet> CurrentDescription() const { return nameHistory_.current(); }

protected:
    void BuildControls() override;
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(bool& cancel) override;
    void OnNotify(int code, const std::string& text) override;

private:
    static bool English();
    void SetEnglishTexts();
    void SetBrowseCaption(int p, int n);
    void FillBrowseListsFromManager();
    void SelectBrowseList(const std::shared_ptr<ResultSet>& set);
    void Browse(atom* (ResultSet::*step)());
    void CurList_Click();
    void History_Click();
    void StepHistory(bool forward);
    void AsList_Click();
    void AsFavorite_Click();
    void ShowEx_Click();
    void UpdateCommandStates();
    // The description of a name or group, built for the pane but not shown
    // (markInfo: the terms of the search that found it, or none).
    std::shared_ptr<ResultSet> Describe(atom* a, const searchInfo* markInfo);
    // The text a vanished entry is known by (its own, or its line's).
    static std::string VanishedText(atom* a, const ResultSet* set, bool markCurrent);
    void DropVanishedEntries();

    // Controls (owned by the window's widgets).
    TextBox* curName_ = nullptr;
    CheckBox* groups_ = nullptr;
    CommandButton* showName_ = nullptr;
    QGroupBox* textFrame_ = nullptr;
    RichTextPane* text_ = nullptr;
    QGroupBox* historyFrame_ = nullptr;
    ComboBox* history_ = nullptr;
    CommandButton* goBack_ = nullptr;
    CommandButton* goForward_ = nullptr;
    QGroupBox* curListFrame_ = nullptr;
    ComboBox* curList_ = nullptr;
    CommandButton* goNameBegin_ = nullptr;
    CommandButton* goNameBack_ = nullptr;
    CommandButton* goNameForward_ = nullptr;
    CommandButton* goNameEnd_ = nullptr;
    CommandButton* asList_ = nullptr;
    CommandButton* asFavorite_ = nullptr;
    CommandButton* showEx_ = nullptr;
    CommandButton* showHelp_ = nullptr;
    QStatusBar* statusBar1_ = nullptr;

    // Bindings of the lists to the controls (live while loaded).
    std::unique_ptr<ComboBoxDisplay> historyDisplay_;
    std::unique_ptr<ComboBoxDisplay> curListDisplay_;
    std::unique_ptr<TextBoxCaption> curNameCaption_;
    std::unique_ptr<TextDisplay> dummyTd_;
    std::unique_ptr<DescriptionPane> dummyPane_;

    std::string savedCurName_;
    atom* curAtom_ = nullptr;
    ResultHistory nameHistory_;
    ResultHistory browseLists_;
    std::shared_ptr<ResultSet> historyList_;
    std::shared_ptr<ResultSet> curListList_;
    std::shared_ptr<ResultSet> curBrowseSet_;
    std::shared_ptr<ResultSet> placeholder_;
    int browsePos_ = 31999, browseCount_ = 31999;
};
