// The tables of the information windows, built from the database without any
// window: the names by first letter, the saints with their days, the names
// and words of a topic, the words and names related to a word, and the
// groups, names and words of a language with its sub-languages. The windows
// bind the lists to their controls and show them; tests call these directly.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class ResultSet;
class atom;

namespace InfoTables {

// --- names by letter ---------------------------------------------------------------

// The index 0-25 of the letter a text is listed under: its first character
// without accent ("Änne" and "Ágnes" 0, "Émile" 4); -1 for a text that
// begins with a small letter, a sign or nothing.
int LetterIndexOf(std::string_view text);
// Every name (male and/or female) listed under the letter, sorted by text.
void FillLetter(ResultSet& table, int letterIndex, bool male, bool female);
// "12 names with 'K'" / "Nothing with 'Q'" (German "mit", "Nichts").
std::string LetterCaption(const ResultSet& table, int letterIndex);
// The bare title of the table: " starting with 'K'" (" beginnend mit 'K'").
std::string LetterTitle(int letterIndex);

// --- saints --------------------------------------------------------------------------

struct Saint {
    atom* saint = nullptr;
    int day = 0, month = 0;  // 0: missing
    std::string key;         // month and day, two digits each: "0105"
};
// "0105" for 5 January; a longer number is not cut.
std::string SaintKey(int day, int month);
// The members of seSaints in property order, or ordered by key (saints of one
// day keep that order). A saint without day or month is reported and kept,
// with the key's missing half empty.
std::vector<Saint> GatherSaints(bool byDate);
// The table: one line per saint, its date text as reason ("January 5" /
// "5. Januar"; empty for a saint without date); sorted by name when not by
// date.
void FillSaints(ResultSet& table, bool byDate);
// "56 saints" / "56 Heilige".
std::string SaintsCaption(long n);

// --- topics --------------------------------------------------------------------------

// The topics of the database sorted by text.
std::vector<atom*> Topics();
// The names table (groups through the topic's origin entries, its own names,
// then the groups reached through the translations of its words, each once)
// and the words table (its words of the text language, case-blind order).
void FillTopic(atom* topic, ResultSet& names, ResultSet& words);

// --- words ---------------------------------------------------------------------------

// The related words of a word: its translations (the word itself when it is
// in the text language), their related words, and the foreign words whose
// translation these are. Each line "link (language link) TAB translation",
// the word itself never.
void FillRelatedWords(atom* word, ResultSet& relWords);
// The names (or groups) whose origin relates to the source words, each with
// the text of the source word it was reached through (the last one) as
// reason. The source words are the word itself and, in all-words mode or for
// a word of the text language, every related word.
void FillWordNames(atom* word, const ResultSet& relWords, bool allWords, bool showNames, ResultSet& names);
// " for word 'hagnos' (Ancient Greek) = pure, holy" or, for a word of the
// text language and in all-words mode, " for all words related to ...".
std::string WordListTitle(atom* word, bool allWords);
// Whether a history entry's title was made in all-words mode.
bool IsAllWordsTitle(const std::string& title);
// The first language of a word; null when it has none.
atom* FirstLang(atom* a);

// --- languages -------------------------------------------------------------------------

// The groups whose origin, the names whose use lies in the language or one
// of its sub-languages (reason: the abbreviation of the member that reached
// them), and its words with their translation.
void FillLanguage(atom* lang, ResultSet& origin, ResultSet& use, ResultSet& words);
// The bare titles of the origin and use tables.
std::string OriginTitle(atom* lang);
std::string UseTitle(atom* lang);

}  // namespace InfoTables
