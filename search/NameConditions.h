// The search by letters, sound, spelling, pattern, length, syllables, accents
// and symmetry: seventeen conditions on a name's text, up to three rows of
// them joined by "and" or "or", the marks that show why a name is a hit, the
// example name of one row, and the title of the list a search makes.
//
// Marks: one "_" per character with the matched letters over it in upper
// case ("an" on Anna gives "AN__"), and for satisfied counts " 4" appended
// ("/" between parts: "AN__/ 4"). When every chosen row is a count, the
// marks hold the counts alone (" 4/ 2").
#pragma once

#include <string>

#include "FlexString.h"
#include "QueryRows.h"

class atom;
class ResultSet;

namespace Query {

class NameConditions {
public:
    static constexpr int kNumCodes = 18;
    // False for 0 (undefined) and for the codes of accents and symmetry.
    static bool NeedsArg(int code);
    // The counts of letters and syllables (9 to 14).
    static bool NumArg(int code);
    // The caption of a code in its condition box and its spelled-out
    // template ("#" for the argument), in the text language.
    static std::string Caption(int code);
    static std::string Template(int code);
    // A code of at least 1 and, when it takes one, an argument.
    static bool Complete(const Row& row);
    // True when every row with a code has a numeric code (also with none).
    static bool AllNumeric(const Rows& rows);

    // Prepares a search: each complete row's argument upper-cased once.
    void SetRows(const Rows& rows, bool andMode);
    // Whether a male or female name passes the rows; the marks are written.
    bool TakeA(const atom* a);
    const std::string& marks() const { return marks_; }

    // One condition with an upper-cased argument; with marksOn the marks are
    // written too (counts are appended always). An unknown code asserts
    // "Cond" and fails.
    bool MatchCond(const atom* a, int code, const std::string& upperArg, bool marksOn);

    // Every male and female name that passes, in table order, with its marks
    // as reason.
    void Search(const Rows& rows, bool andMode, ResultSet& out);
    // " from search: starts with 'an' and no. of letters equal 4".
    static std::string Title(const Rows& rows, bool andMode);
    // The first name of the database meeting the complete row that the ring
    // has not shown yet (entered into the ring); null when there is none.
    atom* SearchExample(const Row& row, ExampleRing& ring);

private:
    struct Prepared {
        int code = 0;
        std::string arg;         // upper-cased
        FlexString argFlex;      // for distance and pattern
        std::string argSound;    // sound key (code 6)
        int num = 0;
    };
    void Prepare(Prepared& p, const Row& row);
    bool Match(const atom* a, const Prepared& p, bool marksOn);
    void LoadName(const atom* a);
    void AddCountMark(int count);
    void PutMarks(const std::string& text, int pos);

    Prepared rows_[3];
    bool andMode_ = true;
    bool allNumeric_ = false;
    std::string name_;     // the name upper-cased
    FlexString nameFlex_;  // the same, for distance, pattern and syllables
    bool flexLoaded_ = false;
    std::string marks_;
};

}  // namespace Query
