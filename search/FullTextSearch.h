// The full-text search: the origin entries whose texts, or whose related
// words and their German translations, contain given character sequences or
// words; each hit yields every group the entry describes, with the matched
// characters as they stand in the text as reason ("river+Sea" under "and").
// The list carries the terms so that its descriptions show them in bold.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "Parser.h"
#include "QueryRows.h"

class atom;
class ResultSet;

namespace Query {

class FullTextSearch {
public:
    static constexpr int kNumCodes = 5;
    // Codes 1-4: char sequence, word, exact char sequence, exact word (the
    // Parser::Match method is the code minus 1).
    static std::string Caption(int code);
    static std::string Template(int code);
    static bool Complete(const Row& row) { return row.code >= 1 && row.code < kNumCodes && !row.arg.empty(); }

    // Prepares the complete rows' terms once for the whole walk.
    void SetRows(const Rows& rows, bool andMode);
    // Whether an origin entry passes; reason() then holds the matched characters.
    bool TakeA(const atom* entry);
    const std::string& reason() const { return reason_; }
    // The extra text of an entry: " word german ..." for each related word.
    static void ExtraText(const atom* entry, std::string& out);

    // Every group of every passing origin entry (once per entry), with the
    // terms attached to the list as its search information.
    void Search(const Rows& rows, bool andMode, ResultSet& out);
    // " from fulltext search: contains the word 'river' and ...".
    static std::string Title(const Rows& rows, bool andMode);

private:
    // The matched characters of the row's first text that holds its term, or
    // false.
    bool TakeRow(const atom* entry, const Parser::Matcher& m, std::string_view& matched);

    std::vector<Parser::Matcher> matchers_;
    bool andMode_ = true;
    std::string extra_;
    bool extraBuilt_ = false;  // extra_ holds the entry's extra text
    std::string spare_;        // the text of a word without a text of its own
    std::string reason_;
};

}  // namespace Query
