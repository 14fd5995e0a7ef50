#include "QtText.h"

#include <QApplication>
#include <QLineEdit>
#include <QToolTip>

#include "Cp1252.h"
#include "TextConstants.h"

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

namespace {

// Letters whose decomposition gives no base letter, or not the one a writer
// of the language would put in its place.
struct BaseLetter {
    char32_t cp;
    char16_t base;
};
constexpr BaseLetter kBaseLetters[] = {
    {0x0141, u'L'}, {0x0142, u'l'},        // Ł ł (Polish)
    {0x0150, u'\xD6'}, {0x0151, u'\xF6'},  // Ő ő (Hungarian): Ö ö
    {0x0170, u'\xDC'}, {0x0171, u'\xFC'},  // Ű ű (Hungarian): Ü ü
    {0x0110, u'D'}, {0x0111, u'd'},        // Đ đ (Croatian)
    {0x0126, u'H'}, {0x0127, u'h'},        // Ħ ħ (Maltese)
    {0x0166, u'T'}, {0x0167, u't'},        // Ŧ ŧ (Sami)
    {0x013F, u'L'}, {0x0140, u'l'},        // Ŀ ŀ (Catalan): the middle dot is no part of the letter
    {0x0131, u'i'},                        // ı (Turkish dotless i)
    {0x014A, u'N'}, {0x014B, u'n'},        // Ŋ ŋ (Sami)
    {0x0181, u'B'}, {0x0253, u'b'},        // Ɓ ɓ
    {0x018A, u'D'}, {0x0257, u'd'},        // Ɗ ɗ
    {0x0198, u'K'}, {0x0199, u'k'},        // Ƙ ƙ
};

bool InCp1252(char32_t cp) { return Cp1252::FromUnicode(cp).has_value(); }

// A line end (LF, CR, NEL, the line and paragraph separators) or a tab.
bool IsLineBreak(char32_t cp) {
    return cp == u'\n' || cp == u'\r' || cp == u'\t' || cp == 0x85 || cp == 0x2028 || cp == 0x2029;
}

QString FromCodePoint(char32_t cp) { return QString::fromUcs4(&cp, 1); }

QString TypedAs(char32_t cp, int depth) {
    if (InCp1252(cp)) return FromCodePoint(cp);
    for (const BaseLetter& b : kBaseLetters)
        if (b.cp == cp) return QString(QChar(b.base));
    if (depth > 4) return {};
    const QString parts = QChar::decomposition(cp);
    if (parts.isEmpty()) return {};
    const QList<uint> cps = parts.toUcs4();
    if (QChar::decompositionTag(cp) == QChar::Canonical) {
        // A letter with its marks: the letter, as far as it can be typed.
        return TypedAs(cps.front(), depth + 1);
    }
    // A form of other characters (a ligature, a full-width letter): all of
    // them, or none.
    QString out;
    for (uint part : cps) {
        const QString one = TypedAs(part, depth + 1);
        if (one.isEmpty()) return {};
        out += one;
    }
    return out;
}

}  // namespace

QString TypedAs(char32_t cp) { return TypedAs(cp, 0); }

QString FitTyped(const QString& typed, QString* refused, int* cursor) {
    // Composed first: a letter typed with a separate accent is one letter.
    const QString text = typed.normalized(QString::NormalizationForm_C);
    // Composing may shorten what lies before the cursor: it is counted in
    // the composed text of that part.
    const int oldCursor =
        cursor ? static_cast<int>(typed.left(*cursor).normalized(QString::NormalizationForm_C).size()) : 0;
    QString out;
    out.reserve(text.size());
    int newCursor = -1;
    for (qsizetype i = 0; i < text.size();) {
        if (cursor && newCursor < 0 && i >= oldCursor) newCursor = static_cast<int>(out.size());
        char32_t cp = text.at(i).unicode();
        qsizetype len = 1;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            len = 2;
        }
        // A box holds one line: a line end or a tab pasted, dropped or set
        // into it is a space, as in the one-line boxes of every desktop
        // (a CR LF pair is one line end).
        if (IsLineBreak(cp)) {
            if (cp == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') ++len;
            out += u' ';
            i += len;
            continue;
        }
        const QString as = TypedAs(cp);
        if (as.isEmpty()) {
            if (refused) *refused += text.mid(i, len);
        } else {
            out += as;
        }
        i += len;
    }
    if (cursor) *cursor = newCursor < 0 ? static_cast<int>(out.size()) : newCursor;
    return out;
}

QString PastedLine(const QString& text) {
    auto lineEnd = [&](qsizetype i) { return text.at(i) != u'\t' && IsLineBreak(text.at(i).unicode()); };
    qsizetype from = 0, to = text.size();
    while (from < to && lineEnd(from)) ++from;
    while (to > from && lineEnd(to - 1)) --to;
    return text.mid(from, to - from);
}

QString RefusedNote(const QString& refused) {
    const std::string note = TextConstants::LangText(
        "Weggelassen: %1 \x96 das Programm kann nur Buchstaben westeurop\xe4ischer Sprachen aufnehmen.",
        "Left out: %1 \x96 the program can only hold letters of Western European languages.");
    return ToQt(note).arg(refused);
}

Cp1252Validator::Cp1252Validator(QObject* parent) : QValidator(parent) {
    onRefused = [this](const QString& refused) {
        QApplication::beep();
        auto* box = qobject_cast<QLineEdit*>(this->parent());
        if (!box) return;
        QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), RefusedNote(refused), box, QRect(), 4000);
    };
}

QValidator::State Cp1252Validator::validate(QString& input, int& pos) const {
    QString refused;
    int cursor = pos;
    QString fit = FitTyped(input, &refused, &cursor);
    if (fit != input) {
        input = fit;
        pos = cursor;
    }
    if (!refused.isEmpty() && onRefused) onRefused(refused);
    return Acceptable;
}

QString SwissGermanTranslator::translate(const char* context, const char* sourceText, const char* disambiguation,
                                        int n) const {
    QString text = QTranslator::translate(context, sourceText, disambiguation, n);
    text.replace(QChar(0x00DF), QLatin1String("ss"));
    return text;
}

}  // namespace QtText
