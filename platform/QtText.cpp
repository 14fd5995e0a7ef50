#include "QtText.h"

#include "Cp1252.h"

namespace QtText {

QString ToQt(const std::string& cp1252) {
    QString out;
    out.reserve(static_cast<qsizetype>(cp1252.size()));
    for (char c : cp1252) out.append(QChar(static_cast<char16_t>(Cp1252::ToUnicode(static_cast<unsigned char>(c)))));
    return out;
}

std::string FromQt(const QString& s, char replacement, bool* ok) {
    std::string out;
    out.reserve(static_cast<std::size_t>(s.size()));
    bool clean = true;
    for (qsizetype i = 0; i < s.size(); ++i) {
        char32_t cp = s.at(i).unicode();
        if (QChar::isHighSurrogate(cp) && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(s.at(i), s.at(i + 1));
            ++i;
        }
        auto b = Cp1252::FromUnicode(cp);
        if (b) {
            out += static_cast<char>(*b);
        } else {
            out += replacement;
            clean = false;
        }
    }
    if (ok) *ok = clean;
    return out;
}

}  // namespace QtText
