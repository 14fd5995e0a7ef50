// "NameDays", the saints: every saint of the database with its saint's day,
// by name or by date, and the description of the chosen saint with links to
// its names.
#pragma once

#include <memory>
#include <string>

#include "ChildForm.h"
#include "RichTextBox.h"
#include "ToolTip.h"  // before ResultViews.h, which keeps a guarded ToolTip pointer
#include "ResultViews.h"
#include "WindowContracts.h"

class QGroupBox;
class RichTextPane;
class TextDisplay;

class NameDays : public ChildForm, public NameDaysWindow, public LinkOwner {
    Q_OBJECT
public:
    NameDays();
    ~NameDays() override;

    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;
    // Selects the saint's line, describes it and puts the focus on the table.
    void ShowAtom(atom* saint) override;

    // The handlers, public for tutorials and tests.
    void Names_ItemClick();
    void SortDate_Click();
    void SortName_Click();

    bool byDate() const { return byDate_; }
    const ResultSet* saints() const { return names_.get(); }
    const ResultSet* description() const { return info_.get(); }
    std::string NamesCaption() const;

protected:
    void BuildControls() override;
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(bool& cancel) override;
    void OnNotify(int code, const std::string& text) override;

private:
    void SetEnglishTexts();
    void Gather();
    void Describe();
    void Unbind();

    QGroupBox* namesFrame_ = nullptr;
    ListView* namesView_ = nullptr;
    QGroupBox* saintFrame_ = nullptr;
    RichTextPane* saintBox_ = nullptr;
    QGroupBox* sortFrame_ = nullptr;
    OptionButton* sortName_ = nullptr;
    OptionButton* sortDate_ = nullptr;
    CommandButton* showHelp_ = nullptr;

    std::unique_ptr<ListViewDisplay> namesDisplay_;
    std::unique_ptr<TextDisplay> td_;
    std::unique_ptr<TextPaneDisplay> infoDisplay_;
    std::shared_ptr<ResultSet> names_;
    std::shared_ptr<ResultSet> info_;
    bool byDate_ = true;
};
