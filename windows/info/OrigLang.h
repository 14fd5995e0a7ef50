// "OrigLang", a language: its description with links to its sub-languages,
// and three tables over the language and all its sub-languages: the groups
// whose origin lies there, the names used there and its words with their
// translation. A name goes to the name window, a word to the word window.
#pragma once

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

class OrigLang : public ChildForm, public OrigLangWindow, public LinkOwner {
    Q_OBJECT
public:
    OrigLang();
    ~OrigLang() override;

    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;
    // Shows a language; the language already shown is not built again.
    void ShowAtom(atom* lang) override;

    // The handlers, public for tutorials and tests.
    void CurLang_Click();
    void OrigAsList_Click();
    void CurAsList_Click();
    void OrigGroups_ItemClick();
    void CurGroups_ItemClick();
    void Words_ItemClick();

    atom* curLang() const { return curLang_; }
    const ResultSet* origin() const { return origin_.get(); }
    const ResultSet* use() const { return use_.get(); }
    const ResultSet* words() const { return words_.get(); }
    std::string DescrRtf() const;
    // How often a language was built (read by tests).
    int builds() const { return builds_; }
    std::string Caption(const char* frame) const;

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
    void ShowDescription(atom* lang);
    void TableToNameWindow(ResultSet& table, std::shared_ptr<ResultSet>& copy, std::string& copyTitle);

    ComboBox* curLangBox_ = nullptr;
    RichTextPane* descrPane_ = nullptr;
    QGroupBox* origFrame_ = nullptr;
    ListView* origView_ = nullptr;
    QGroupBox* useFrame_ = nullptr;
    ListView* useView_ = nullptr;
    QGroupBox* wordsFrame_ = nullptr;
    ListView* wordsView_ = nullptr;
    CommandButton* origAsList_ = nullptr;
    CommandButton* curAsList_ = nullptr;
    CommandButton* showEx_ = nullptr;
    CommandButton* showHelp_ = nullptr;
    QStatusBar* statusBar1_ = nullptr;

    std::unique_ptr<TextDisplay> descrTd_;
    std::unique_ptr<ListViewDisplay> origDisplay_, useDisplay_, wordsDisplay_;
    std::shared_ptr<ResultSet> origin_, use_, words_;
    std::shared_ptr<ResultSet> origCopy_, useCopy_;
    std::string origCopyTitle_, useCopyTitle_;
    atom* curLang_ = nullptr;
    int builds_ = 0;
    int shownIndex_ = -1;  // the box's entry of the language shown
};
