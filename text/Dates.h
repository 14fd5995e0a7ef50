// Month names of the text language and the spelled-out day of the year
// (saints' days).
#pragma once

#include <string>
#include <vector>

namespace Dates {

// The long month names 1-12 of the text language; index 0 is not used.
// Empty until InitMonths has run at start-up.
extern std::vector<std::string> MonthName;

// Fills MonthName for the current text language.
void InitMonths();
// Sets month i (1-12) to the German or English name by the text language.
void SetMonth(int i, const std::string& german, const std::string& english);

// English "March 19", German "19. März". A day outside 1-31 or a month
// outside 1-12 gives "".
std::string DayMonthText(int day, int month);

}  // namespace Dates
