// The count phrases of lists and tables, in the text language: how many names
// and groups a list holds (in its title and the frame's status line) and how
// many words a table shows.
#pragma once

#include <string>

class ResultSet;

namespace CountText {

// "No name", "1 name", "3 groups" / "Kein Name", "Keine Gruppe", "3 Gruppen".
std::string CountPhrase(bool isGroup, long n);
// "12 names+3 groups", "1 group", "Nothing" / "Nichts". Lines whose atom is
// neither a name nor a group are not counted.
std::string ResultSizeText(const ResultSet& rs);
// "No word", "1 word", "7 words" / "Kein Wort", "1 Wort", "7 W\xF6rter".
std::string WordCountText(long n);

}  // namespace CountText
