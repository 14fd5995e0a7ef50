#include "Dates.h"

#include "Cp1252.h"
#include "TextConstants.h"

namespace Dates {

std::vector<std::string> MonthName(13);

void SetMonth(int i, const std::string& german, const std::string& english) {
    if (i < 1 || i > 12) return;
    MonthName[static_cast<std::size_t>(i)] = TextConstants::LangText(german, english);
}

void InitMonths() {
    MonthName.assign(13, std::string());
    SetMonth(1, "Januar", "January");
    SetMonth(2, "Februar", "February");
    SetMonth(3, "März"_cp, "March");
    SetMonth(4, "April", "April");
    SetMonth(5, "Mai", "May");
    SetMonth(6, "Juni", "June");
    SetMonth(7, "Juli", "July");
    SetMonth(8, "August", "August");
    SetMonth(9, "September", "September");
    SetMonth(10, "Oktober", "October");
    SetMonth(11, "November", "November");
    SetMonth(12, "Dezember", "December");
}

std::string DayMonthText(int day, int month) {
    if (day < 1 || day > 31 || month < 1 || month > 12) return {};
    const std::string& name = MonthName[static_cast<std::size_t>(month)];
    std::string number = std::to_string(day);
    return TextConstants::LangText(number + ". " + name, name + " " + number);
}

}  // namespace Dates
