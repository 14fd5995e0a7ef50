// "Similar", the choice among similar entries: the lookup of a typed text
// that found several entries lists them here with the kind of match, their
// languages and their group; the user's pick goes back to the window that
// asked, or the whole choice becomes a list of the list manager.
#pragma once

#include <QPointer>
#include <memory>
#include <string>

#include "ChildForm.h"
#include "WindowContracts.h"

class QLabel;
class ListView;
class ListViewDisplay;
class ResultSet;

class Similar : public ChildForm, public SimilarWindow {
    Q_OBJECT
public:
    Similar();
    ~Similar() override;

    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;
    void ShowSet(const std::string& text, AtomShower* caller, std::shared_ptr<ResultSet> set,
                 bool several) override;

    // The similarity column's text of a hit's reason in the lookup's list.
    static std::string SimilarityText(const std::string& reason);
    // The table (read by tests).
    const std::shared_ptr<ResultSet>& names() const { return names_; }
    // The pick of table line `line`, as a click on it does.
    void Pick(int line);

protected:
    void BuildControls() override;
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    void SetEnglishTexts();
    // The line that stands ready for Enter: the entry spelled as typed, case
    // aside (accents count), else the first.
    static int32_t ReadyLine(const ResultSet& names, const std::string& typed);
    void PickSelected();
    void AsList_Click();

    QLabel* image1_ = nullptr;
    QLabel* text_ = nullptr;
    QLabel* multiLabel_ = nullptr;
    QLabel* similarLabel_ = nullptr;
    ListView* namesView_ = nullptr;
    CommandButton* asList_ = nullptr;
    CommandButton* showHelp_ = nullptr;

    std::unique_ptr<ListViewDisplay> namesDisplay_;
    std::shared_ptr<ResultSet> names_;
    AtomShower* caller_ = nullptr;
    QPointer<FormBase> callerForm_;  // the asking window, when it is one
    bool picking_ = false;
};
