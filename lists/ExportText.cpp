#include "ExportText.h"

#include "Cp1252.h"
#include "FileOp.h"
#include "ResultSet.h"
#include "TextConstants.h"

namespace ExportText {

namespace {

constexpr int kExportFile = 7;
constexpr std::size_t kListColumn = 20;   // where a reason starts in a plain list
constexpr std::size_t kDescrColumn = 27;  // where a value starts in plain descriptions
constexpr char kNoBreakSpace = static_cast<char>(0xA0);

void Line(std::string& out, const std::string& text) {
    out += text;
    out += '\n';  // the platform's line end: the file is for its programs
}

}  // namespace

bool AsksFirst(int format, int scope, int32_t n) {
    if (scope != kDescr) return false;
    return n > 1000 || (IsRtf(format) && n > 200);
}

std::string CsvCell(const std::string& text) {
    std::string cell = "\"";
    if (!text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@')) cell += '\'';
    for (char c : text) {
        if (c == '"') cell += '"';
        cell += c;
    }
    cell += '"';
    return cell;
}

std::string PlainDescrLine(std::string text) {
    // One pass: the blanks of a run after "(" or "=" go, which is what
    // replacing "( " and then "= " until none is left gives.
    std::size_t out = 0;
    bool dropBlanks = false;
    for (char c : text) {
        if (c == kNoBreakSpace) c = ' ';
        if (dropBlanks && c == ' ') continue;
        text[out++] = c;
        dropBlanks = c == '(' || c == '=';
    }
    text.resize(out);
    return text;
}

std::string ListText(const ResultSet& list, int format, int scope, Services::Progress* progress) {
    using TextConstants::LangText;
    const bool csv = IsCsv(format);
    const std::string delim = Delimiter(format);
    std::string out;
    if (csv) {
        std::string header = CsvCell("Name");
        if (scope == kNamesReasons) header += delim + CsvCell(LangText("Grund", "Reason"));
        Line(out, header);
    }
    const int32_t n = list.numLines();
    if (progress) progress->SetMaximum(n);
    for (int32_t i = 0; i < n; ++i) {
        if (progress) progress->SetValue(i);
        const std::string text = list.line(i);
        std::string row;
        if (csv) {
            row = CsvCell(text);
            if (scope == kNamesReasons) row += delim + CsvCell(list.reason(i));
        } else {
            row = text;
            if (scope == kNamesReasons) {
                row += text.size() < kListColumn ? std::string(kListColumn - text.size(), ' ') : std::string(" ");
                row += list.reason(i);
            }
        }
        Line(out, row);
    }
    if (progress) progress->SetValue(n);
    return out;
}

std::string DescrText(const ResultSet& descriptions, int format) {
    using TextConstants::LangText;
    const bool csv = IsCsv(format);
    const std::string delim = Delimiter(format);
    std::string out;
    if (csv) Line(out, CsvCell(LangText("Angabe", "Info")) + delim + CsvCell(LangText("Wert", "Value")));
    const int32_t n = descriptions.numLines();
    for (int32_t i = 0; i < n; ++i) {
        const std::string text = PlainDescrLine(descriptions.line(i));
        const std::size_t tab = text.find('\t');
        if (tab == std::string::npos) {
            Line(out, csv ? CsvCell("") + delim + CsvCell(text) : text);
            continue;
        }
        const std::string heading = text.substr(0, tab), value = text.substr(tab + 1);
        if (csv) {
            Line(out, CsvCell(heading) + delim + CsvCell(value));
        } else {
            std::string row = heading;
            if (row.size() < kDescrColumn) row.append(kDescrColumn - row.size(), ' ');
            Line(out, row + value);
        }
    }
    return out;
}

std::string FileBytes(int format, const std::string& contents) {
    if (IsRtf(format)) return contents;
    const std::string utf8 = Cp1252::ToUtf8(contents);
    return IsCsv(format) ? "\xEF\xBB\xBF" + utf8 : utf8;
}

bool WriteFile(const std::string& path, const std::string& contents, int format) {
    using TextConstants::LangText;
    std::string fullPath;
    if (!FileOp::OpenFile(path, "", kExportFile, "O", LangText("Export-Datei", "Export file"), fullPath)) return false;
    FileOp::AtomicFile* out = FileOp::Output(kExportFile);
    if (!out) return false;
    out->Write(FileBytes(format, contents));
    // Complete only once it is closed: the new file replaces the old one here.
    return FileOp::CloseFile(fullPath, kExportFile);
}

}  // namespace ExportText
