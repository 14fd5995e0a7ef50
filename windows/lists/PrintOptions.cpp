#include "PrintOptions.h"

#include <QGroupBox>
#include <QPrinter>
#include <QTextDocument>

#include "GenMsg.h"
#include "ListDescriptions.h"
#include "PrintDialogs.h"
#include "QtText.h"
#include "ResultSet.h"
#include "RichTextPrint.h"
#include "RtfReader.h"
#include "Searches.h"
#include "TextConstants.h"
#include "WindowKeys.h"

using TextConstants::LangText;

namespace {
constexpr int kWidth = 420, kHeight = 262;
}

PrintOptions::PrintOptions() : ChildForm("PrintOptions") {}

PrintOptions::~PrintOptions() = default;

void PrintOptions::BuildControls() {
    SetClientSize(kWidth, kHeight);
    SetCaption("Drucken");

    auto option = [this](const char* name, QGroupBox* parent, const char* caption, int row) {
        auto* o = Add<OptionButton>(name, -1, parent);
        o->SetCaption(caption);
        o->setGeometry(12, 22 + 25 * row, parent->width() - 24, 24);
        return o;
    };
    paramFrame_ = AddFrame("ParamFrame", "Einstellungen", {8, 4, 260, 56});
    combo1_ = Add<ComboBox>("Combo1", -1, paramFrame_);
    combo1_->setGeometry(12, 22, 236, 24);
    howFrame_ = AddFrame("HowFrame", "Umfang", {8, 64, 260, 100});
    names_ = option("Names", howFrame_, "nur Namen/Gruppen", 0);
    namesReasons_ = option("NamesReasons", howFrame_, "Namen/Gruppen und Gr\xfcnde", 1);
    descr_ = option("Descr", howFrame_, "Beschreibungen", 2);
    whatFrame_ = AddFrame("WhatFrame", "Zu drucken", {8, 168, 260, 76});
    curList_ = option("CurList", whatFrame_, "aktuelle Liste", 0);
    curName_ = option("CurName", whatFrame_, "aktueller Name/aktuelle Gruppe", 1);

    auto button = [this](const char* name, const char* caption, int row) {
        return AddButton(name, caption, {280, 10 + 36 * row, 130, 28});
    };
    showPrintDialog_ = button("ShowPrintDialog", "Drucker", 0);
    doPrint_ = button("DoPrint", "Drucken", 1);
    doPrint_->setDefault(true);
    showHelp_ = AddHelpButton();
    showHelp_->setGeometry(280, 10 + 36 * 2, 130, 28);
    doCancel_ = button("DoCancel", "Abbrechen", 3);
    WindowKeys::PressOnEscape(Client(), doCancel_);
    SetSizable(false);
}

void PrintOptions::Form_Load() {
    printer_.reset();
    lastPages_ = 0;
    // The print command prints the descriptions of the current list; the
    // other choices are shown as they are but cannot be made.
    combo1_->clear();
    combo1_->addItem(QtText::ToQt(LangText("Farbig, R\xe4nder 20 mm", "In color, margins 20 mm")));
    combo1_->setCurrentIndex(0);
    {
        Suppress quiet(*this);
        descr_->SetValue(true);
        curList_->SetValue(true);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{combo1_, names_, namesReasons_, curName_}) w->setEnabled(false);
    showPrintDialog_->onClick = [this] { ShowPrintDialog_Click(); };
    doPrint_->onClick = [this] { DoPrint_Click(); };
    doCancel_->onClick = [this] { DoCancel_Click(); };
    SetEnglishTexts();
}

void PrintOptions::SetEnglishTexts() {
    if (TextConstants::textLanguage != 1) return;
    SetCaption("Print");
    paramFrame_->setTitle(QStringLiteral("Settings"));
    howFrame_->setTitle(QStringLiteral("Scope"));
    names_->SetCaption("Only names/groups");
    namesReasons_->SetCaption("Names/groups plus reasons");
    descr_->SetCaption("Descriptions");
    whatFrame_->setTitle(QStringLiteral("To print"));
    curList_->SetCaption("Current list");
    curName_->SetCaption("Current name/group");
    showPrintDialog_->SetCaption("Printer");
    doPrint_->SetCaption("Print");
    doCancel_->SetCaption("Cancel");
}

void PrintOptions::Form_Unload(bool&) { printer_.reset(); }

void PrintOptions::ShowPrintDialog_Click() {
    auto chosen = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (printer_) {
        // The dialog starts from the earlier choice.
        chosen->setPrinterName(printer_->printerName());
        chosen->setOutputFileName(printer_->outputFileName());
    }
    if (!LowLevel::PrintDialog().Choose(*chosen)) return;
    printer_ = std::move(chosen);  // the earlier printer goes here
}

void PrintOptions::DoPrint_Click() {
    std::shared_ptr<ResultSet> list = Searches::GetListsCurrent();
    if (!list) return;
    lastPages_ = 0;
    // Without a chosen printer: the default one, or the dialog when the
    // system has none (printing to a PDF file needs no printer).
    std::unique_ptr<QPrinter> defaultPrinter;
    QPrinter* printer = printer_.get();
    if (!printer) {
        if (LowLevel::PrintDialog().HasDefaultPrinter()) {
            defaultPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer = defaultPrinter.get();
        } else {
            ShowPrintDialog_Click();
            printer = printer_.get();
            if (!printer) return;
        }
    }
    Services::HourglassOn();
    QTextDocument doc;
    RtfReader::Read(ListDescriptions::DescriptionsRtf(*list, true, nullptr), doc);
    const Services::PageMargins mm{kMarginMm, kMarginMm, kMarginMm, kMarginMm};
    const Services::PrintStatus status = LowLevel::PrintRichText(doc, *printer, mm, &lastPages_);
    Services::HourglassOff();
    if (status != Services::PrintStatus::Ok) GenMsg::ShowMsg(GenMsg::GMprintFailed, GenMsg::kExclamation, CauseText(status));
}

void PrintOptions::DoCancel_Click() { Unload(); }

std::string PrintOptions::CauseText(Services::PrintStatus status) {
    using S = Services::PrintStatus;
    switch (status) {
    case S::Ok: break;
    case S::NoPrinter: return LangText("kein Drucker verf\xfc" "gbar", "no printer is available");
    case S::BadResolution: return LangText("der Drucker meldet keine Aufl\xf6sung", "the printer reports no resolution");
    case S::MarginsTooLarge:
        return LangText("die R\xe4nder lassen auf der Seite keinen Platz", "the margins leave no room on the page");
    case S::NoProgress: return LangText("eine Zeile ist h\xf6her als eine Seite", "a line is taller than a page");
    case S::Failed: return LangText("der Drucker hat den Auftrag abgelehnt", "the printer refused the job");
    }
    return "";
}
