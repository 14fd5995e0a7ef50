// The frame the three query windows share: three condition rows (a condition
// box, an argument and a pane that spells the row out), two connective boxes
// kept in step ("and" / "or" for all rows), a pane that spells out the whole
// query, the search button, and a one-second timer that writes the spelled-out
// texts once the user has stopped changing them for a clock second.
//
// A window adds its codes and their texts, what makes a row complete, the
// explanation of a row and the search itself.
#pragma once

#include <QPointer>
#include <array>
#include <memory>
#include <string>

#include "ChildForm.h"
#include "QueryRows.h"
#include "RichTextBox.h"
#include "Services.h"
#include "WindowContracts.h"

class QGroupBox;
#include <QTimer>
class RichTextPane;
class TextDisplay;
class atom;

class QueryFrame : public ChildForm, public ChildWindow, public LinkOwner {
    Q_OBJECT
public:
    ~QueryFrame() override;

    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;

    // --- handlers (public for tests and tutorials) --------------------------------
    // The one-second tick: with a change pending and the clock in a later
    // second than the change, the query and the out-of-date rows are written.
    virtual void UpdateTimer_Timer();
    // Runs the search and hands the list to the list manager.
    void Search_Click();
    void Logic_Click(int i);

    // --- state read by tests ------------------------------------------------------
    bool andMode() const { return andMode_; }
    bool changed() const { return changed_; }
    bool rowChanged(int i) const { return rowChanged_.at(static_cast<std::size_t>(i)); }
    const Query::ExampleRing& ring() const { return ring_; }
    // The RTF last written into a row's explanation pane or the query pane.
    std::string ExplRtf(int i) const;
    std::string QueryRtf() const;
    QTimer* updateTimer() const { return timer_; }

protected:
    QueryFrame(const std::string& name, bool argIsList);

    // --- what each window adds -------------------------------------------------------
    virtual int NumCodes() const = 0;
    virtual std::string CodeCaption(int code) const = 0;
    virtual std::string CodeTemplate(int code) const = 0;
    virtual bool TakesArg(int code) const { return code >= 1; }
    virtual bool RowComplete(int i) const = 0;
    // The argument as the query shows it (as typed; Lang: the language).
    virtual std::string ArgText(int i) const;
    // The row's explanation, inside its paragraph (complete rows only).
    virtual void WriteExplanation(int i, TextDisplay& td) = 0;
    // The search: the list and its title, handed over by Search_Click.
    virtual void RunSearch(ResultSet& out, std::string& title) = 0;
    virtual bool GreyConnective() const { return true; }
    // Whether the arguments may be used: a window with number boxes checks
    // them here (a refused one has its message).
    virtual bool ArgsReady() { return true; }
    virtual void WindowLoad() {}
    virtual void Cond_Click(int i) = 0;
    virtual void SetWindowTexts() = 0;

    void OnNotify(int code, const std::string& text) override;
    void BuildControls() override;
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

    // --- shared helpers -----------------------------------------------------------------
    void MarkChanged(int row);  // row -1: only the query
    void ShowExpl(int i);
    void ShowQuery();
    void WriteTemplate(TextDisplay& td, const std::string& templ, const std::string& arg);
    void WriteCondition(bool& first, int i);
    // The rows as data (codes and typed arguments).
    Query::Rows RowsOf() const;
    int CondCode(int i) const;
    static bool English();
    // The tooltips of a row's argument and explanation, which differ by
    // window; "#" stands for the row's ordinal ("1." / "1st").
    struct RowTips {
        const char* argDe;
        const char* argEn;
        const char* explDe;
        const char* explEn;
    };
    // The frame's captions and tooltips in the text language.
    void SetCommonTexts(const std::string& titleDe, const std::string& titleEn, const RowTips& tips);

    std::array<QGroupBox*, 3> condFrame_{};
    std::array<ComboBox*, 3> cond_{};
    std::array<TextBox*, 3> argText_{};    // Lexi, FullText
    std::array<ComboBox*, 3> argList_{};   // Lang
    std::array<ComboBox*, 2> logic_{};
    std::array<RichTextPane*, 3> expl_{};
    QGroupBox* queryFrame_ = nullptr;
    RichTextPane* query_ = nullptr;
    CommandButton* search_ = nullptr;
    CommandButton* showEx_ = nullptr;
    CommandButton* showHelp_ = nullptr;
    QPointer<QTimer> timer_;

    std::array<std::unique_ptr<TextDisplay>, 3> explTd_;
    std::unique_ptr<TextDisplay> queryTd_;
    bool andMode_ = true;
    bool changed_ = false;
    std::array<bool, 3> rowChanged_{};
    Services::LocalTime lastChange_;
    Query::ExampleRing ring_;
    bool inLogic_ = false;

private:
    bool argIsList_;
};
