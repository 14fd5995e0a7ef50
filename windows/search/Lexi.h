// "Lexi", the search by letters, sound, spelling, pattern, length, syllables,
// accents and symmetry: the query frame with text arguments, a number check
// for the counts, and an example name in each row's explanation.
#pragma once

#include "NameConditions.h"
#include "NumberBoxes.h"
#include "QueryFrame.h"

class Lexi : public QueryFrame {
    Q_OBJECT
public:
    Lexi();
    void Cond_Click(int i) override;
    void Arg_Change(int i);
    // Leaving an argument box of a count: a refused text gets its message
    // once, "1" and the focus back. True when the text passes.
    bool Arg_LostFocus(int i);

protected:
    int NumCodes() const override { return Query::NameConditions::kNumCodes; }
    std::string CodeCaption(int code) const override { return Query::NameConditions::Caption(code); }
    std::string CodeTemplate(int code) const override { return Query::NameConditions::Template(code); }
    bool TakesArg(int code) const override { return Query::NameConditions::NeedsArg(code); }
    bool RowComplete(int i) const override;
    void WriteExplanation(int i, TextDisplay& td) override;
    void RunSearch(ResultSet& out, std::string& title) override;
    void WindowLoad() override;
    void SetWindowTexts() override;
    bool ArgsReady() override;

private:
    // The number check of row i's argument, for a count only.
    bool CheckCount(int i);

    Query::NameConditions engine_;
    NumberBoxes numbers_;
};
