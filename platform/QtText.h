// The program's cp1252 texts as Qt strings and back. Every text that crosses
// into a widget, a file name or the clipboard goes through here.
#pragma once

#include <QString>
#include <QValidator>
#include <string>

namespace QtText {

QString ToQt(const std::string& cp1252);
// Characters that have no cp1252 byte become `replacement`; `ok` tells.
std::string FromQt(const QString& s, char replacement = '?', bool* ok = nullptr);

// Refuses typed characters that have no cp1252 byte instead of replacing
// them silently (set it on a text box).
class Cp1252Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        bool ok = true;
        FromQt(input, '?', &ok);
        return ok ? Acceptable : Invalid;
    }
};

}  // namespace QtText
