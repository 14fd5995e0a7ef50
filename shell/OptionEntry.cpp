#include "OptionEntry.h"

#include "Cp1252.h"
#include "GenMsg.h"
#include "KFrame.h"
#include "Options.h"
#include "QtLowLevel.h"
#include "QtServices.h"
#include "ShellKit.h"
#include "TextConstants.h"

OptionEntry::OptionEntry() : FormBase("OptionEntry", Kind::Dialog, 0) { SetSizable(false); }

void OptionEntry::BuildControls() {
    FitClient(*this, 500, 150);
    SetCaption("Optionen");
    toolTips_ = Add<CheckBox>("ShowToolTips");
    toolTips_->setGeometry(16, 14, 470, 22);
    toolTips_->SetCaption("Tooltips anzeigen?");
    alphaLinks_ = Add<CheckBox>("ShowAlphaInfoLinks");
    alphaLinks_->setGeometry(16, 42, 470, 22);
    alphaLinks_->SetCaption("Namen-Info-Links (?) im Fenster \x84Namen alphabetisch\x93 anzeigen?");
    singleLinks_ = Add<CheckBox>("ShowSingleInfoLinks");
    singleLinks_->setGeometry(16, 70, 470, 22);
    singleLinks_->SetCaption("Namen-Info-Links (?) im Fenster \x84Name/Gruppe\x93 anzeigen?");
    save_ = Add<CommandButton>("DoSave");
    save_->setGeometry(16, 112, 100, 26);
    save_->SetCaption("Speichern");
    save_->setDefault(true);
    cancel_ = Add<CommandButton>("DoCancel");
    cancel_->setGeometry(126, 112, 100, 26);
    cancel_->SetCaption("Abbrechen");
    help_ = Add<CommandButton>("ShowHelp");
    help_->setGeometry(236, 112, 100, 26);
    help_->SetCaption("Hilfe");

    save_->onClick = [this] {
        const bool toolTipsBefore = Options::ShowToolTips;
        Options::ShowToolTips = toolTips_->Value() != 0;
        Options::ShowAlphaInfoLinks = alphaLinks_->Value() != 0;
        Options::ShowSingleInfoLinks = singleLinks_->Value() != 0;
        Hide();
        // Tooltips are made when a window loads: only a new start shows the change.
        if (Options::ShowToolTips != toolTipsBefore) GenMsg::ShowMsg(GenMsg::GMrestart, GenMsg::kInformation, "");
        Unload();
    };
    cancel_->onClick = [this] { Unload(); };
    help_->onClick = [this] { LowLevel::ShowFormHelp(Host(), nullptr); };
}

void OptionEntry::Form_Load() {
    KFrame::CentreOnFrame(*this);
    SetCheckBox(Options::ShowToolTips, toolTips_);
    SetCheckBox(Options::ShowAlphaInfoLinks, alphaLinks_);
    SetCheckBox(Options::ShowSingleInfoLinks, singleLinks_);
    if (TextConstants::textLanguage == 1) {
        SetCaption("Options");
        toolTips_->SetCaption("Show tooltips?");
        alphaLinks_->SetCaption("Show the '?' name info links in the window 'Names by Alphabet'?");
        singleLinks_->SetCaption("Show the '?' name info links in the window 'Name/Group'?");
        save_->SetCaption("Save");
        cancel_->SetCaption("Cancel");
        help_->SetCaption("Help");
    }
}
