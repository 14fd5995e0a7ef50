// For the tests of printing (Qt test binaries only): the number of pages of a
// PDF file, and a print dialog that answers from a script by pointing the
// printer at a PDF file, or cancels.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QPrinter>
#include <QString>
#include <deque>
#include <optional>

#include "PrintDialogs.h"

// Pages of a PDF file: its page objects ("/Type /Page", not "/Type /Pages");
// -1 when the file cannot be read.
inline int PdfPageCount(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    QByteArray pdf = f.readAll();
    int count = 0;
    for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1))
        if (at + 11 >= pdf.size() || pdf[at + 11] != 's') ++count;
    return count;
}

// Each Choose takes the next answer: a PDF file to print to, or nothing (the
// user cancelled); an empty script cancels. Installed for its lifetime.
class ScriptedPrintDialogs : public LowLevel::PrintDialogs {
public:
    ScriptedPrintDialogs() { LowLevel::SetPrintDialogs(this); }
    ~ScriptedPrintDialogs() override { LowLevel::SetPrintDialogs(nullptr); }
    bool Choose(QPrinter& printer) override {
        ++shown;
        if (answers.empty()) return false;
        std::optional<QString> answer = answers.front();
        answers.pop_front();
        if (!answer) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(*answer);
        printer.setPageSize(QPageSize(QPageSize::A4));
        return true;
    }
    bool HasDefaultPrinter() override { return hasDefault; }

    std::deque<std::optional<QString>> answers;
    int shown = 0;
    bool hasDefault = false;
};
