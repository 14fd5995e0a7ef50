// "UserNames": the user's own names. The table lists them; the fields hold
// one name with its gender, languages, meaning and information; Create,
// Modify and Delete change the database through database/UserNames, tell
// every window (code 4), and the user-names file is written a few minutes
// after a change, when the window unloads and at shutdown.
#pragma once

#include <QPointer>
#include <array>
#include <memory>
#include <string>

#include "ChildForm.h"
#include "Services.h"
#include "WindowContracts.h"

class ListView;
class ListViewDisplay;
class QGroupBox;
class QTimer;
class ResultSet;
class atom;
namespace NewNames {
struct Entry;
}

class UserNames : public ChildForm, public ChildWindow {
    Q_OBJECT
public:
    UserNames();
    ~UserNames() override;
    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;

    // The handlers (public for tutorials and tests).
    void DoCreate_Click();
    void DoModify_Click();
    void DoDelete_Click();
    void Names_Click();
    // The check when the focus leaves the name: quotes, buttons, and the
    // question whether to make a name the database already has (false when
    // the answer was No).
    bool CurName_LostFocus();
    void SaveTimer_Timer();

    void ShowUserName(atom* name);
    void UpdateButtons();
    const ResultSet& Table() const { return *table_; }

protected:
    void BuildControls() override;
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetEnglishTexts();
    void RefreshList();
    void ClearFields();
    void ReplaceQuotes(TextBox* box);
    // What the focus leaving box does (nothing for other controls); false
    // when the name's check was answered No.
    bool LeaveBox(QObject* box);
    void SetComboLang(ComboBox* box, atom* lang);
    ::NewNames::Entry Fields() const;
    void Changed();

    std::shared_ptr<ResultSet> table_;
    std::unique_ptr<ListViewDisplay> display_;
    Services::LocalTime lastChangeTime_{};
    std::string lastAskedKey_;
    bool checking_ = false;

    QPointer<QGroupBox> namesFrame_, frame1_, genderFrame_, origLangFrame_, germanFrame_, origInfoFrame_,
        useLangFrame_;
    QPointer<ListView> names_;
    QPointer<TextBox> curName_, german_;
    std::array<QPointer<TextBox>, 2> origInfo_;
    QPointer<OptionButton> male_, female_;
    QPointer<ComboBox> origLang_;
    std::array<QPointer<ComboBox>, 3> useLang_;
    QPointer<CommandButton> doCreate_, doModify_, doDelete_, showHelp_;
    QPointer<QTimer> saveTimer_;
};
