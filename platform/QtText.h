// The program's cp1252 texts as Qt strings and back. Every text that crosses
// into a widget, a file name or the clipboard goes through here.
#pragma once

#include <QString>
#include <string>

namespace QtText {

QString ToQt(const std::string& cp1252);
// Characters that have no cp1252 byte become `replacement`; `ok` tells.
std::string FromQt(const QString& s, char replacement = '?', bool* ok = nullptr);

}  // namespace QtText
