#include "TextConstants.h"

namespace TextConstants {

int textLanguage = 0;
int edition = 0;

std::string LangText(const std::string& german, const std::string& english) {
    return textLanguage != 0 ? english : german;
}

std::string EditionText(const std::string& german, const std::string& english) {
    return edition != 0 ? english : german;
}

}  // namespace TextConstants
