#include "Export.h"

#include <QGroupBox>
#include <QProgressBar>

#include "Errors.h"
#include "ExportText.h"
#include "FileOp.h"
#include "GenMsg.h"
#include "ListDescriptions.h"
#include "LowLevel.h"
#include "QtText.h"
#include "ResultSet.h"
#include "Searches.h"
#include "Services.h"
#include "TextConstants.h"
#include "WinMan.h"

using TextConstants::LangText;

namespace {

constexpr int kWidth = 470, kHeight = 318;

const char* const kFormatNames[] = {"Text", "CsvComma", "CsvSemi", "RtfBW", "RtfColor"};
const char* const kScopeNames[] = {"Names", "NamesReasons", "Descr"};

// The window's progress bar as the builders' progress.
class BarProgress : public Services::Progress {
public:
    explicit BarProgress(QProgressBar* bar) : bar_(bar) {}
    void SetMaximum(int maximum) override {
        if (bar_) bar_->setMaximum(maximum > 0 ? maximum : 1);
    }
    void SetValue(int value) override {
        if (bar_) bar_->setValue(std::min(value, bar_->maximum()));
    }

private:
    QPointer<QProgressBar> bar_;
};

}  // namespace

Export::Export() : ChildForm("Export", Kind::MdiChild, kPlaced | kInHistory | kStored) {}

void Export::BuildControls() {
    SetClientSize(kWidth, kHeight);
    SetCaption("Aktuelle Liste exportieren");

    formatFrame_ = AddFrame("FormatFrame", "Format", {8, 4, kWidth - 16, 150});
    const char* const formatDe[] = {
        "reiner Text (z. B. f\xfcr Notepad)", "CSV, mit Komma als Trennzeichen (z. B. f\xfcr Microsoft Excel)",
        "CSV, mit Strichpunkt als Trennzeichen", "RTF (RichText), ohne Farben (z. B. f\xfcr Microsoft Word)",
        "RTF (RichText), mit Farben"};
    for (int i = 0; i < 5; ++i) {
        formats_[i] = Add<OptionButton>(kFormatNames[i], -1, formatFrame_);
        formats_[i]->SetCaption(formatDe[i]);
        formats_[i]->setGeometry(12, 22 + 25 * i, kWidth - 44, 24);
    }
    whatFrame_ = AddFrame("WhatFrame", "Umfang", {8, 158, kWidth - 16, 100});
    const char* const scopeDe[] = {"nur Namen/Gruppen", "Namen/Gruppen und Gr\xfcnde", "Beschreibungen"};
    for (int i = 0; i < 3; ++i) {
        scopes_[i] = Add<OptionButton>(kScopeNames[i], -1, whatFrame_);
        scopes_[i]->SetCaption(scopeDe[i]);
        scopes_[i]->setGeometry(12, 22 + 25 * i, kWidth - 44, 24);
    }
    doExport_ = AddButton("DoExport", "Exportieren", {8, 270, 120, 28});
    doExport_->setDefault(true);
    showHelp_ = AddHelpButton();
    showHelp_->setGeometry(136, 270, 100, 28);
    progress_ = Add<QProgressBar>("ExportProgress");
    progress_->setGeometry(248, 274, kWidth - 256, 20);
    progress_->setTextVisible(false);
    progress_->setRange(0, 1);
    progress_->setValue(0);
    SetSizable(false);
}

void Export::Form_Load() {
    exporting_ = false;
    formats_[0]->SetValue(true);
    scopes_[0]->SetValue(true);
    doExport_->onClick = [this] { DoExport_Click(); };
    doExport_->setEnabled(Searches::GetListsCurrent() != nullptr);
    Tip(formatFrame_, "Format der exportierten Daten w\xe4hlen", "Choose the format of the exported data");
    Tip(whatFrame_, "Angeben, was exportiert wird", "Specify what will be exported");
    Tip(doExport_, "Export der aktuellen Liste in der angegebenen Art starten",
        "Start the export of the current list in the specified way");
    Tip(showHelp_, "Hilfe zum Fenster anzeigen", "Show help for this window");
    SetEnglishTexts();
}

void Export::SetEnglishTexts() {
    if (TextConstants::textLanguage != 1) return;
    SetCaption("Export Current List");
    whatFrame_->setTitle(QStringLiteral("Scope"));
    const char* const formatEn[] = {"Plain text (e.g. for Notepad)", "CSV, with comma as delimiter (e.g. for Microsoft Excel)",
                                    "CSV, with semicolon as delimiter",
                                    "RTF (Rich Text), without colors (e.g. for Microsoft Word)",
                                    "RTF (Rich Text), with colors"};
    for (int i = 0; i < 5; ++i) formats_[i]->SetCaption(formatEn[i]);
    const char* const scopeEn[] = {"Only names/groups", "Names/groups plus reasons", "Descriptions"};
    for (int i = 0; i < 3; ++i) scopes_[i]->SetCaption(scopeEn[i]);
    doExport_->SetCaption("Export");
}

int Export::Format() const {
    for (int i = 0; i < 5; ++i)
        if (formats_[i] && formats_[i]->Value()) return i;
    Errors::Assert(false, "DoExport how");
    return 0;
}

int Export::Scope() const {
    for (int i = 0; i < 3; ++i)
        if (scopes_[i] && scopes_[i]->Value()) return i;
    Errors::Assert(false, "DoExport what");
    return 0;
}

void Export::OnNotify(int code, const std::string&) {
    // The set of lists changed. A running export keeps the button off: the
    // progress lets events run, and a second export must not start inside it.
    if (code == 2 && doExport_ && !exporting_) doExport_->setEnabled(Searches::GetListsCurrent() != nullptr);
}

void Export::DoExport_Click() {
    if (exporting_ || WinMan::ActionBlocked()) return;
    std::shared_ptr<ResultSet> list = Searches::GetListsCurrent();
    if (!list) return;
    const int format = Format(), scope = Scope();
    const int32_t n = list->numLines();
    if (ExportText::AsksFirst(format, scope, n) && !GenMsg::AskMsg(GenMsg::GMexportMany, std::to_string(n))) return;

    Services::FileDialogRequest request;
    request.title = Caption();
    if (format == ExportText::kText) {
        request.filter = LangText("Text-Dateien", "Text files") + " (*.txt)|*.txt";
        request.defaultExt = "txt";
    } else if (ExportText::IsCsv(format)) {
        request.filter = LangText("CSV-Dateien", "CSV files") + " (*.csv)|*.csv";
        request.defaultExt = "csv";
    } else {
        request.filter = LangText("RTF-Dateien", "RTF files") + " (*.rtf)|*.rtf";
        request.defaultExt = "rtf";
    }
    request.filter += LangText("|Alle Dateien", "|All files") + " (*)|*";
    request.initialDir = lastFolder_;
    if (request.initialDir.empty()) request.initialDir = LowLevel::DocumentsFolderOrEmpty();
    Services::FileDialogs* dialogs = Services::Get().fileDialogs;
    const std::optional<std::string> path = dialogs ? dialogs->SaveFile(request) : std::nullopt;
    if (!path || path->empty()) return;
    std::string fileName;
    FileOp::SplitPath(*path, lastFolder_, fileName);

    if (Services::EventPump* events = Services::Get().events) events->DoEvents();
    // Cursor, button and flag come back on every way out of here.
    struct Busy {
        Export& w;
        explicit Busy(Export& e) : w(e) {
            w.exporting_ = true;
            Services::HourglassOn();
            if (w.doExport_) w.doExport_->setEnabled(false);
        }
        ~Busy() {
            w.exporting_ = false;
            if (w.doExport_) w.doExport_->setEnabled(true);
            Services::HourglassOff();
        }
    };
    bool done = false;
    {
        Busy busy(*this);
        BarProgress progress(progress_);
        const std::string contents = ListDescriptions::ExportContents(*list, format, scope, &progress);
        done = ExportText::WriteFile(*path, contents, format);
    }
    if (done) GenMsg::ShowMsg(GenMsg::GMdone, GenMsg::kInformation, "");
}
