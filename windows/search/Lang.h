// "Lang", the search by language of origin or of use: the query frame with a
// language box as each row's argument, the explanation written at once with
// an example name of the language, and the language's abbreviation as the
// reason of each name found.
#pragma once

#include <array>

#include "LangSearch.h"
#include "QueryFrame.h"

class Lang : public QueryFrame {
    Q_OBJECT
public:
    Lang();
    void Cond_Click(int i) override;
    void Arg_Click(int i);
    // Whether a row's language box holds the languages of origin.
    bool argIsOrigin(int i) const { return argIsOrigin_.at(static_cast<std::size_t>(i)); }
    // Without the test of a later clock second: the query follows at the next tick.
    void UpdateTimer_Timer() override;

protected:
    int NumCodes() const override { return Query::LangSearch::kNumCodes; }
    std::string CodeCaption(int code) const override { return Query::LangSearch::Caption(code); }
    std::string CodeTemplate(int code) const override { return Query::LangSearch::Template(code); }
    bool RowComplete(int i) const override;
    std::string ArgText(int i) const override;
    void WriteExplanation(int i, TextDisplay& td) override;
    void RunSearch(ResultSet& out, std::string& title) override;
    bool GreyConnective() const override { return false; }
    void WindowLoad() override;
    void SetWindowTexts() override;
    void OnNotify(int code, const std::string& text) override;

private:
    void FillArgBox(int i, bool isOrigin);
    Query::LangRow RowOf(int i) const;

    std::array<bool, 3> argIsOrigin_{};
};
