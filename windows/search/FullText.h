// "FullText", the search in the texts of the origin entries and their related
// words: the query frame with text arguments; the list it makes carries the
// terms, so that the descriptions shown from it put them in bold.
#pragma once

#include "FullTextSearch.h"
#include "QueryFrame.h"

class FullText : public QueryFrame {
    Q_OBJECT
public:
    FullText();
    void Cond_Click(int i) override;
    void Arg_Change(int i);

protected:
    int NumCodes() const override { return Query::FullTextSearch::kNumCodes; }
    std::string CodeCaption(int code) const override { return Query::FullTextSearch::Caption(code); }
    std::string CodeTemplate(int code) const override { return Query::FullTextSearch::Template(code); }
    bool RowComplete(int i) const override;
    void WriteExplanation(int i, TextDisplay& td) override;
    void RunSearch(ResultSet& out, std::string& title) override;
    void WindowLoad() override;
    void SetWindowTexts() override;
    void OnNotify(int code, const std::string& text) override;

private:
    Query::FullTextSearch engine_;
};
