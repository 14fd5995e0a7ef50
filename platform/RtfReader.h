// Reads RTF into a QTextDocument: the subset the rich-text builder writes and
// what a word processor's simple RTF needs (fonts, colour table, bold,
// italic, underline, sizes, paragraphs with indents and tab stops, \'XX bytes
// as cp1252, \uN characters, raw TABs). Unknown control words are ignored and
// unknown destinations ({\* ...}, style sheets, pictures, ...) skipped whole.
//
// Links: a run of font size 0 reading "#" and digits is the hidden marker of
// the underlined run right before it. The marker is left out of the document;
// every character of that run carries the number as its anchor (anchorHref)
// and as the property kLinkNumber, so a link is found from the document
// itself.
#pragma once

#include <QString>
#include <QTextFormat>
#include <string>

class QTextDocument;

namespace RtfReader {

// The QTextCharFormat property that holds a link's number (a QString of digits).
constexpr int kLinkNumber = QTextFormat::UserProperty + 1;

// Pixels per twip of the layout (the program counts 15 twips a pixel).
constexpr double kTwipsPerPixel = 15.0;

// Replaces doc's content by the document rtf (cp1252 bytes). Malformed input
// never fails: what can be read is shown.
void Read(const std::string& rtf, QTextDocument& doc);

// The link number carried at a document position ("" for none).
QString LinkNumberAt(const QTextDocument& doc, int position);

}  // namespace RtfReader
