// The export, printing and new names on a full-size generated database: the
// export files of all names (names with reasons, as CSV and as coloured RTF,
// written to a file), descriptions of 1,000 lines as text and 200 as RTF,
// 200 descriptions printed to a PDF file, and one create and one delete of
// a new name.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextDocument>
#include <map>
#include <memory>
#include <string>

#include "Atom.h"
#include "DataBase.h"
#include "ExportText.h"
#include "FullSizeDb.h"
#include "ListDescriptions.h"
#include "NewNames.h"
#include "Options.h"
#include "ResultSet.h"
#include "RichTextPrint.h"
#include "RtfReader.h"
#include "WindowBench.h"

namespace {

struct Setup {
    QApplication* app = nullptr;
    QTemporaryDir dir;
};

Setup& TheSetup() {
    static Setup s = [] {
        Setup st;
        st.app = WindowBench::StartApp("bench_output");
        // A little room above the file's property count: nothing here writes
        // the file, and the generator refuses to exceed the count it is given.
        gendb::FullSizeOptions options;
        options.fileProps = 160000;
        gendb::BuildFullSizeDb(options);
        return st;
    }();
    return s;
}

// The first n names of the database (all with n < 0), each with a reason.
const ResultSet& Names(int n) {
    static std::map<int, std::unique_ptr<ResultSet>> lists;
    auto& rs = lists[n];
    if (!rs) {
        TheSetup();
        rs = std::make_unique<ResultSet>();
        for (atom* a : DataBase::atomTab)
            if (a && a->isName() && (n < 0 || rs->numLines() < n)) rs->AddResult(a->Text(), "All names", a);
    }
    return *rs;
}

std::string Path(const char* name) { return TheSetup().dir.filePath(name).toStdString(); }

void BM_ExportFile(benchmark::State& state) {
    const int format = static_cast<int>(state.range(0)), scope = static_cast<int>(state.range(1));
    const int lines = static_cast<int>(state.range(2));
    const ResultSet& list = Names(lines);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string contents = ListDescriptions::ExportContents(list, format, scope, nullptr);
        bytes = contents.size();
        ExportText::WriteFile(Path("export"), contents, format);
    }
    state.SetLabel(std::to_string(list.numLines()) + " lines, " + std::to_string(bytes / 1024) + " KiB");
}
BENCHMARK(BM_ExportFile)
    ->Args({ExportText::kCsvSemi, ExportText::kNamesReasons, -1})
    ->Args({ExportText::kRtfColor, ExportText::kNamesReasons, -1})
    ->Args({ExportText::kText, ExportText::kDescr, 1000})
    ->Args({ExportText::kRtfColor, ExportText::kDescr, 200})
    ->Unit(benchmark::kMillisecond);

void BM_Print200Descriptions(benchmark::State& state) {
    const ResultSet& list = Names(200);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(Path("print.pdf")));
    int pages = 0;
    for (auto _ : state) {
        QTextDocument doc;
        RtfReader::Read(ListDescriptions::DescriptionsRtf(list, true, nullptr), doc);
        LowLevel::PrintRichText(doc, printer, {20, 20, 20, 20}, &pages);
    }
    state.SetLabel(std::to_string(pages) + " pages");
}
BENCHMARK(BM_Print200Descriptions)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CreateAndDeleteNewName(benchmark::State& state) {
    TheSetup();
    NewNames::Entry e;
    e.text = "Quillmarsh";
    e.gender = NewNames::Entry::Gender::Female;
    e.german = "A bench name";
    int n = 0;
    for (auto _ : state) {
        // Each create takes three ids for the run: stop before the limit.
        if (!NewNames::HasRoom()) {
            state.SkipWithError("no room left");
            break;
        }
        NewNames::Create(e);
        NewNames::Delete(e.text);
        ++n;
    }
}
BENCHMARK(BM_CreateAndDeleteNewName)->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace
