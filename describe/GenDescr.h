// The descriptions of names, groups, origins, words, saints and hit parades as
// lines of mark-up in a ResultSet.
//
// Nothing here draws: every line is "col1 TAB col2" (a heading cell and a
// value cell) or a one-column spacer, in the small mark-up language that the
// list rendering reads: line prefixes "<em>", "<small>", "<indent>", links
// "<a>" atom id "</a>" (ids from 40000 up are help marks of headings) and
// bold "<b>".."</b>". The same lines serve a rich-text pane, a plain export
// and a printout; the caller says which through DescrFlags.
//
// There is no module state: every call takes its flags as an argument, so a
// window that wants links cannot leave them behind for a later plain export.
// The builder never lets window events run while it works, so a click cannot
// re-enter a half-built description.
//
//   GenDescr::DescrFlags f;
//   f.withAtomLinks = f.richText = true;
//   f.withHelpLinks = Options::ShowSingleInfoLinks;
//   f.markInfo = browseList->searchInfo().get();
//   rs.Reset();
//   GenDescr::DescribeName(name, rs, f);   // or DescribeGroup / DescribeSaint
//
// Lines are appended to whatever rs holds; reasons are always empty.
#pragma once

#include <string>
#include <vector>

class atom;
class ResultSet;
class searchInfo;

namespace GenDescr {

// How one description is written. Every field has its "plain text" value by
// default: a default DescrFlags gives what a plain export needs.
struct DescrFlags {
    // Atom references as "<a>" id "</a>"; off: as their display text.
    bool withAtomLinks = false;
    // Headings carry their help mark "<a>" 40000+index "</a>".
    bool withHelpLinks = false;
    // The lines go to a rich-text display: "<em>", "<small>", "<indent>"
    // prefixes and the spelling differences are written.
    bool richText = false;
    // No rule line between a name and its group (export, print).
    bool noRuleLine = false;
    // The search whose terms are put in bold in string values; not owned,
    // must outlive the call. Null: nothing is marked.
    const searchInfo* markInfo = nullptr;
};

// --- whole descriptions ----------------------------------------------------------

// A name (kind 0 or 1) and, when it has one, its group after a rule line.
// An atom no longer in the database (DataBase::LiveAtom) gives no line.
void DescribeName(atom* name, ResultSet& rs, const DescrFlags& flags);
// A group (kind 2 or 3) with its origin, forms, saints and variants; as
// DescribeName for an atom no longer in the database.
void DescribeGroup(atom* group, ResultSet& rs, const DescrFlags& flags);
// A saint (saints window): name, description, birthplace, years, day,
// farmers' rule (German texts only) and the corresponding name.
void DescribeSaint(atom* saint, ResultSet& rs, const DescrFlags& flags);

// --- parts, for windows that show one of them -----------------------------------

// The origin block of a group; origin is the group's first prOrigin target.
void DescribeOrigin(atom* group, atom* origin, ResultSet& rs, const DescrFlags& flags);
// One word line (and, with a search, a second line with the hits in bold).
void DescribeWord(const std::string& heading, atom* word, ResultSet& rs, const DescrFlags& flags);
// The one-line summary of a name's hit parades (nothing without prPop).
void DescribeHitparades(atom* name, ResultSet& rs, const DescrFlags& flags);

// --- texts --------------------------------------------------------------------

// The translation of a word: for a word not in the interface language its
// translations joined by ", " (atoms as links when asLinks), with its topics
// when withRealms (in parentheses after a no-break space for a foreign word),
// with each translation's first comment when withComments.
std::string AllGermanTranslat(atom* word, bool asLinks, bool withRealms, bool withComments);
// The topics of a word: of its translations for a foreign word (each once),
// its own for a word in the interface language.
std::vector<atom*> GetRealms(atom* word);
// The kind of the translated text to use: englishKind when the text language
// is English and the atom has one, else germanKind when it has one, else null.
atom* PickTranslationProp(const atom* a, atom* germanKind, atom* englishKind);
// " ( in 3 groups )": the groups whose origin entries relate to the word;
// empty when there is none.
std::string WordGroupsText(atom* word);
// The saint's day, "March 19" / "19. März"; empty when the day or the month
// is missing (reported) or out of range.
std::string DedicDayStr(atom* saint);
// a & " / " & b with the differing letters of each in bold, compared run by
// run of vowels and non-vowels.
std::string SpellingDiff(const std::string& a, const std::string& b);
// The languages (prLang) or the topics (prMemberOf of kind 6) of an atom
// joined by ", ", as links when asLinks.
std::string GetLangList(atom* a, bool asLinks);
std::string GetRealmList(atom* a, bool asLinks);

// The variants of a group (prNameVariant targets of kind 0 or 1) in the order
// the description lists them: by level (0 for the group's own text, else the
// lowest level of the name's languages, at most 100), then by text in code
// order.
std::vector<atom*> CollectVariants(atom* group);

// --- line helpers -------------------------------------------------------------------

// "<a>" id "</a>" with links on, else the atom's text.
std::string MakeAtomLink(const atom* a, const DescrFlags& flags);
// The help mark in front of a non-empty heading with help links on.
std::string AddHelpLink(const std::string& heading, long helpId, const DescrFlags& flags);

}  // namespace GenDescr
