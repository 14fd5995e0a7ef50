// The two pickers through which every text pair is chosen, the shared flags
// they read, and the common texts of the descriptions and search windows.
#pragma once

#include <string>
#include <vector>

namespace TextConstants {

// 1 English, 0 German. Starts German; the options set it at start-up.
extern int textLanguage;
// 1 the English edition (Talvessin), 0 the German one (Orsabrine).
extern int edition;

// english when the text language is not 0, else german.
std::string LangText(const std::string& german, const std::string& english);
// english when the edition is not 0, else german.
std::string EditionText(const std::string& german, const std::string& english);

// Number of common texts.
constexpr int kTextCount = 46;

// The common texts of the current text language, indexes 0-45 (headings of
// the descriptions, gender words, "Example", "and", ...). Empty texts until
// LoadTexts has run; filled once at start-up after the options are read.
extern std::vector<std::string> Texts;

// Texts[i], or "" for an index outside the table.
const std::string& Text(int i);

// Fills Texts with the English column when the text language is English,
// else with the German column.
void LoadTexts();
void LoadEnglishTexts();
void LoadGermanTexts();

// The English ordinal suffix of n: "st", "nd", "rd" or "th" (1st, 2nd, 3rd,
// 4th, 11th, 12th, 13th, 21st, 22nd, 23rd, 101st, 111th).
std::string OrdinalSuffix(int n);

}  // namespace TextConstants
