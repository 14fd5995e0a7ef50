// The program's cp1252 texts as Qt strings and back. Every text that crosses
// into a widget, a file name or the clipboard goes through here, and so does
// what the user types: a letter cp1252 has no byte for is typed as its base
// letter rather than lost.
#pragma once

#include <QString>
#include <QTranslator>
#include <QValidator>
#include <functional>
#include <string>

namespace QtText {

QString ToQt(const std::string& cp1252);
// Characters that have no cp1252 byte become `replacement`; `ok` tells.
std::string FromQt(const QString& s, char replacement = '?', bool* ok = nullptr);

// What a typed character becomes in a text of the program: itself when
// cp1252 has it, else its base letter, else "" (none: it cannot be typed).
//   TypedAs(U'Ł') gives "L", TypedAs(U'ő') gives "ö" (the usual stand-in
//   for the Hungarian double acute), TypedAs(U'č') gives "c",
//   TypedAs(U'ﬁ') gives "fi", TypedAs(U'李') gives "".
QString TypedAs(char32_t cp);

// Typed text made fit for a one-line box of the program: "Łukasz" gives
// "Lukasz", and a line end or tab a space ("Anna\r\nMaria" gives "Anna
// Maria"). Characters without a base letter are left out and collected in
// `refused`; `cursor` (a position in typed) is moved to the same place in
// the result.
QString FitTyped(const QString& typed, QString* refused = nullptr, int* cursor = nullptr);

// What is pasted or dropped into a one-line box: the line ends at its
// either end go, as in the one-line boxes of web browsers ("Anna" copied
// with its line end is "Anna"); those inside, and tabs, stay for the box to
// make spaces of. A CR LF pair is one line end.
//   PastedLine("\r\nAnna\r\nMaria\n") gives "Anna\r\nMaria".
QString PastedLine(const QString& text);

// The validator of every text box: typed or pasted characters that cp1252
// lacks become their base letters as they are typed, and a line end or tab
// a space (FitTyped); a character without a base letter is left out with a
// visible sign (a beep and a short tooltip at the box), never silently.
class Cp1252Validator : public QValidator {
public:
    explicit Cp1252Validator(QObject* parent = nullptr);
    State validate(QString& input, int& pos) const override;
    // Called with the characters left out; by default beeps and shows the
    // tooltip at the parent widget.
    std::function<void(const QString& refused)> onRefused;
};

// The tooltip's text for characters that were left out, in the text language.
QString RefusedNote(const QString& refused);

// Qt's own German texts (a window's system menu, the file and print
// dialogs) as Swiss standard German writes them: with "ss" for "ß", as
// every text of the program is ("Schließen" reads "Schliessen").
class SwissGermanTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
};

}  // namespace QtText
