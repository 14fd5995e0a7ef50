// "OrigWord", a word: the word with its language, translation, topics and
// comment; the words related to it; and the names or groups whose origin
// relates to the word (or to all its related words), with a history of the
// last words shown.
#pragma once

#include <memory>
#include <string>

#include "ChildForm.h"
#include "ResultHistory.h"
#include "RichTextBox.h"
#include "ToolTip.h"  // before ResultViews.h, which keeps a guarded ToolTip pointer
#include "ResultViews.h"
#include "WindowContracts.h"

class QGroupBox;
class QStatusBar;
class RichTextPane;
class TextDisplay;

class OrigWord : public ChildForm, public OrigWordWindow, public LinkOwner {
    Q_OBJECT
public:
    OrigWord();
    ~OrigWord() override;

    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;
    void ShowAtom(atom* word) override;

    // The handlers, public for tutorials and tests.
    void ShowWord_Click();
    void AllWords_Click();
    void AsList_Click();
    void History_Click();
    void GoBack_Click();
    void GoForward_Click();
    void Names_ItemClick();

    atom* curWord() const { return curWord_; }
    const ResultSet* names() const { return names_.get(); }
    const ResultSet* relWords() const { return relWords_.get(); }
    const ResultHistory& history() const { return history_; }
    const std::string& listTitle() const { return listTitle_; }
    // The text last written into the translation pane.
    std::string TransRtf() const;
    std::string NamesCaption() const;
    std::string RelWordsCaption() const;

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
    void ShowTranslation(atom* word, bool own);
    void ShowTitles(atom* word);
    void RestoreFromHistory(const std::shared_ptr<ResultSet>& entry);
    void StepHistory(bool forward);
    void ShowChoice_Click(bool names);

    TextBox* curWordBox_ = nullptr;
    CommandButton* showWord_ = nullptr;
    CommandButton* allWords_ = nullptr;
    CommandButton* asList_ = nullptr;
    CommandButton* showEx_ = nullptr;
    CommandButton* showHelp_ = nullptr;
    QGroupBox* transFrame_ = nullptr;
    RichTextPane* trans_ = nullptr;
    QGroupBox* showNamesFrame_ = nullptr;
    OptionButton* showNames_ = nullptr;
    OptionButton* showGenNames_ = nullptr;
    QGroupBox* historyFrame_ = nullptr;
    ComboBox* historyBox_ = nullptr;
    CommandButton* goBack_ = nullptr;
    CommandButton* goForward_ = nullptr;
    QGroupBox* namesFrame_ = nullptr;
    ListView* namesView_ = nullptr;
    QGroupBox* relWordsFrame_ = nullptr;
    RichTextPane* relWordsPane_ = nullptr;
    QStatusBar* statusBar1_ = nullptr;

    std::unique_ptr<ListViewDisplay> namesDisplay_;
    std::unique_ptr<TextDisplay> relTd_;
    std::unique_ptr<TextPaneDisplay> relDisplay_;
    std::unique_ptr<ComboBoxDisplay> historyDisplay_;
    std::unique_ptr<TextDisplay> transTd_;
    std::shared_ptr<ResultSet> names_, relWords_, historyList_;
    ResultHistory history_;

    atom* curWord_ = nullptr;
    atom* anchor_ = nullptr;
    std::string listTitle_;
    bool restoring_ = false, allWordsMode_ = false;
};
