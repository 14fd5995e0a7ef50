// The Combine Lists window ("ListOp"): a new list from two lists of the list
// manager's history: their union, their intersection, or one without what
// it shares with the other. The two lists are the last two of the history or
// any two the user picks, in a chosen order; the new list's title names them
// by their numbers. Its close is never refused.
#pragma once

#include <QPointer>
#include <memory>
#include <string>

#include "ChildForm.h"
#include "ListMaking.h"
#include "WindowContracts.h"

class ComboBoxDisplay;
class NameLists;
class QGroupBox;
class QLabel;
class ResultSet;

class ListOp : public ChildForm, public ChildWindow {
    Q_OBJECT
public:
    ListOp();
    ~ListOp() override;
    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;

    // Handlers, public for the tutorial and the tests.
    void LastTwo_Click();
    void AnyTwo_Click();
    void DoOp_Click();
    // Enables the choice of lists when the history holds two; otherwise
    // empties both boxes.
    void EnableByHistory();

    // Copies of the list manager's history titles, bound to List1 and List2:
    // entry i of either box is list i of the history.
    std::shared_ptr<ResultSet> list1Set, list2Set;

protected:
    void BuildControls() override;
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void OnNotify(int code, const std::string& text) override;

private:
    void SetEnglishTexts();
    void FillFromHistory();
    void SelectLastTwo();
    // The list manager when its window is loaded.
    static NameLists* Manager();
    static int HistoryLines();

    std::unique_ptr<ComboBoxDisplay> list1Display_, list2Display_;
    QPointer<QGroupBox> listsFrame_, opFrame_;
    QPointer<QWidget> picture1_, picture2_;
    QPointer<OptionButton> lastTwo_, anyTwo_, opOr_, opAnd_, opSubList2_, opSubList1_;
    QPointer<QLabel> listALabel_, listBLabel_, opLabel_;
    QPointer<ComboBox> list1_, list2_;
    QPointer<CommandButton> doOp_, showHelp_;
    QPointer<QWidget> markShape_;
};
