// "Realm", a topic: its description, the names and groups that belong to it
// (also through the translations of its words) and its words in the text
// language. A name goes to the name window, a word to the word window.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ChildForm.h"
#include "ToolTip.h"  // before ResultViews.h, which keeps a guarded ToolTip pointer
#include "ResultViews.h"
#include "WindowContracts.h"

class QGroupBox;
class QPlainTextEdit;
class QStatusBar;

class Realm : public ChildForm, public RealmWindow {
    Q_OBJECT
public:
    Realm();
    ~Realm() override;

    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;
    // Shows a topic; the topic already shown is not built again.
    void ShowAtom(atom* topic) override;

    // The handlers, public for tutorials and tests.
    void CurRealm_Click();
    void AsList_Click();
    void Names_ItemClick();
    void Words_ItemClick();

    atom* curRealm() const { return curRealm_; }
    const ResultSet* names() const { return names_.get(); }
    const ResultSet* words() const { return words_.get(); }
    const std::vector<atom*>& topics() const { return topics_; }
    // How often a topic was built (read by tests).
    int builds() const { return builds_; }

protected:
    void BuildControls() override;
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Resize() override;
    void Form_Unload(bool& cancel) override;
    void OnNotify(int code, const std::string& text) override;

private:
    void SetEnglishTexts();
    void Unbind();

    ComboBox* curRealmBox_ = nullptr;
    QPlainTextEdit* curRealmDescr_ = nullptr;
    CommandButton* asList_ = nullptr;
    CommandButton* showEx_ = nullptr;
    CommandButton* showHelp_ = nullptr;
    QGroupBox* namesFrame_ = nullptr;
    ListView* namesView_ = nullptr;
    QGroupBox* wordsFrame_ = nullptr;
    ListView* wordsView_ = nullptr;
    QStatusBar* statusBar2_ = nullptr;

    std::unique_ptr<ListViewDisplay> namesDisplay_, wordsDisplay_;
    std::shared_ptr<ResultSet> names_, words_;
    std::vector<atom*> topics_;
    atom* curRealm_ = nullptr;
    int builds_ = 0;
};
