// The two pickers through which every text pair is chosen, and the shared
// flags they read.
#pragma once

#include <string>

namespace TextConstants {

// 1 English, 0 German. Starts German; the options set it at start-up.
extern int textLanguage;
// 1 the English edition (Talvessin), 0 the German one (Orsabrine).
extern int edition;

// english when the text language is not 0, else german.
std::string LangText(const std::string& german, const std::string& english);
// english when the edition is not 0, else german.
std::string EditionText(const std::string& german, const std::string& english);

}  // namespace TextConstants
