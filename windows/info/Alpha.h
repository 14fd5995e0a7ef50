// "Alpha", the names by letter: every name that begins with the chosen
// letter (accented capitals count under their letter), male, female or both,
// with the description of the selected name beside the table.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "ChildForm.h"
#include "RichTextBox.h"
#include "ToolTip.h"  // before ResultViews.h, which keeps a guarded ToolTip pointer
#include "ResultViews.h"
#include "WindowContracts.h"

class QGroupBox;
class QStatusBar;
class RichTextPane;
class TextDisplay;

class Alpha : public ChildForm, public ChildWindow, public LinkOwner {
    Q_OBJECT
public:
    Alpha();
    ~Alpha() override;

    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;

    // The handlers, public for tutorials and tests.
    void Letter_Click(int index);
    void Names_ItemClick();
    void AsList_Click();
    void AsFavorite_Click();

    int letterIndex() const { return letterIndex_; }
    atom* curAtom() const { return curAtom_; }
    const ResultSet* names() const { return names_.get(); }
    const ResultSet* description() const { return descr_.get(); }
    std::string NamesCaption() const;

protected:
    void BuildControls() override;
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(bool& cancel) override;
    void OnNotify(int code, const std::string& text) override;

private:
    void SetEnglishTexts();
    void Gender_Click(int index);
    void Unbind();

    std::array<CommandButton*, 26> letter_{};
    QGroupBox* lettersFrame_ = nullptr;
    QGroupBox* genderFrame_ = nullptr;
    OptionButton* male_ = nullptr;
    OptionButton* female_ = nullptr;
    OptionButton* both_ = nullptr;
    QGroupBox* namesFrame_ = nullptr;
    ListView* namesView_ = nullptr;
    QGroupBox* textFrame_ = nullptr;
    RichTextPane* text_ = nullptr;
    CommandButton* asFavorite_ = nullptr;
    CommandButton* asList_ = nullptr;
    CommandButton* showEx_ = nullptr;
    CommandButton* showHelp_ = nullptr;
    QStatusBar* statusBar1_ = nullptr;

    std::unique_ptr<ListViewDisplay> namesDisplay_;
    std::unique_ptr<TextDisplay> td_;
    std::unique_ptr<TextPaneDisplay> textDisplay_;
    std::shared_ptr<ResultSet> names_;
    std::shared_ptr<ResultSet> descr_;

    atom* curAtom_ = nullptr;
    int letterIndex_ = 0;
    bool fillBusy_ = false, selectBusy_ = false;
};
