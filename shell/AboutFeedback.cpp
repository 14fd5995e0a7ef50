#include "AboutFeedback.h"

#include <QGroupBox>
#include <QLabel>

#include "Cp1252.h"
#include "DataBase.h"
#include "KFrame.h"
#include "LowLevel.h"
#include "QtText.h"
#include "RichTextPane.h"
#include "Searches.h"
#include "ShellKit.h"
#include "TextConstants.h"
#include "TextDisplay.h"

using TextConstants::LangText;

// --- About ---------------------------------------------------------------------------

About::About() : FormBase("About", Kind::Dialog, 0) { SetSizable(false); }

void About::BuildControls() {
    FitClient(*this, 440, 250);
    SetCaption("Über Orsabrine"_cp);
    int x = 0;
    for (const char* key : {"Alpha", "OrigLang", "NameDays"}) {
        auto* img = Add<QLabel>(std::string("Image") + (x == 0 ? "2" : x == 1 ? "4" : "5"));
        img->setGeometry(20, 20 + x * 56, 48, 48);
        img->setPixmap(ProgramPicture(key, 48));
        ++x;
    }
    auto* title = Add<QLabel>("Title");
    title->setGeometry(90, 16, 330, 30);
    title->setText(QtText::ToQt(TextConstants::EditionText("Orsabrine", "Talvessin")));
    QFont f = title->font();
    f.setPointSize(16);
    f.setBold(true);
    title->setFont(f);
    version_ = Add<QLabel>("Version");
    version_->setGeometry(90, 50, 330, 20);
    copyright_ = Add<QLabel>("CopyrightLabel");
    copyright_->setGeometry(90, 76, 330, 80);
    copyright_->setWordWrap(true);
    copyright_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    copyright_->setText(QtText::ToQt(
        "Die Datenbank der Namen ist urheberrechtlich geschützt. Ihre Inhalte dürfen ohne schriftliche "
        "Erlaubnis von Quillmarsh weder ganz noch teilweise kopiert oder weitergegeben werden."_cp));
    mailto_ = Add<LinkLabel>("Mailto");
    mailto_->setGeometry(90, 160, 330, 20);
    mailto_->SetCaption(MakerAddress::kMail);
    website_ = Add<LinkLabel>("Website");
    website_->setGeometry(90, 182, 330, 20);
    website_->SetCaption(MakerAddress::kWebsite);
    close_ = Add<CommandButton>("DoClose");
    close_->setGeometry(340, 216, 88, 26);
    close_->SetCaption("OK");
    close_->setDefault(true);
    // The links come before OK in the Tab order, but the window opens with
    // the keyboard on OK: Enter closes it.
    close_->setFocus();

    close_->onClick = [this] { Unload(); };
    // A desktop without a mail or web program leaves the user the address to copy.
    mailto_->onClick = [] { LowLevel::ShellOpenOrShow(std::string("mailto:") + MakerAddress::kMail); };
    website_->onClick = [this] { LowLevel::ShellOpenOrShow(website_->Caption()); };
}

void About::Form_Load() {
    KFrame::CentreOnFrame(*this);
    version_->setText(QtText::ToQt(LangText("Version 1.3, Juni 2005, Build 8", "Version 1.3, June 2005, Build 8")));
    if (TextConstants::textLanguage == 1) {
        SetCaption("About Talvessin");
        close_->SetCaption("OK");
        copyright_->setText(QStringLiteral(
            "The name database is protected by copyright. Its contents may not be copied or passed on, "
            "in whole or in part, without the written permission of Quillmarsh."));
    }
}

// --- Feedback ---------------------------------------------------------------------------

Feedback::Feedback() : FormBase("Feedback", Kind::Dialog, 0) { SetSizable(false); }

Feedback::~Feedback() { display_.reset(); }

void Feedback::BuildControls() {
    FitClient(*this, 460, 240);
    SetCaption("Feedback");
    text_ = Add<RichTextPane>("Text");
    text_->setGeometry(12, 12, 436, 96);
    links_ = Add<QGroupBox>("LinksFrame");
    links_->setGeometry(12, 116, 436, 80);
    links_->setTitle(QtText::ToQt("Links für Feedback"_cp));
    mailto_ = Add<LinkLabel>("Mailto", -1, links_);
    mailto_->setGeometry(14, 24, 410, 20);
    mailto_->SetCaption(MakerAddress::kFeedbackMail);
    website_ = Add<LinkLabel>("Website", -1, links_);
    website_->setGeometry(14, 48, 410, 20);
    website_->SetCaption(MakerAddress::kFeedbackPage);
    cancel_ = Add<CommandButton>("DoCancel");
    cancel_->setGeometry(360, 204, 88, 26);
    cancel_->SetCaption("Schliessen");
    cancel_->setDefault(true);
    cancel_->setFocus();

    cancel_->onClick = [this] { Unload(); };
    mailto_->onClick = [] {
        LowLevel::ShellOpenOrShow(std::string("mailto:") + MakerAddress::kFeedbackMail +
                                  LangText("?subject=Orsabrine%20V1%2E3%20Feedback",
                                           "?subject=Talvessin%20V1%2E3%20Feedback"));
    };
    // The page learns where the visit came from; the user copies the page alone.
    website_->onClick = [this] { LowLevel::ShellOpenOrShow(website_->Caption() + "?prog13", website_->Caption()); };
}

void Feedback::Form_Load() {
    KFrame::CentreOnFrame(*this);
    display_ = std::make_unique<TextDisplay>();
    display_->Init("Text", text_, this);
    display_->SetTabPos(0);
    display_->BeginText();
    display_->BeginPara();
    if (TextConstants::textLanguage == 1) {
        display_->AddStr("Did you find a bug in the program? Do you have trouble finding out how something works? ");
        display_->AddStr("Do you miss a function or feature? ");
        display_->BeginColor(0xFF0000);
        display_->AddStr("Do not hesitate to contact the author");
        display_->EndColor();
        display_->AddStr(" so that he can improve the program in the next release! ");
    } else {
        display_->AddStr("Sie haben einen Fehler gefunden? Es ist unklar, wie etwas funktioniert? ");
        display_->AddStr("Sie vermissen etwas im Programm? ");
        display_->BeginColor(0xFF0000);
        display_->AddStr("Melden Sie sich");
        display_->EndColor();
        display_->AddStr(" beim Hersteller, damit Orsabrine in der nächsten Version besser wird! "_cp);
    }
    // The maker's link atom of the database; a database without it gets no link.
    atom* maker = DataBase::GetAtom("liQuillmarsh");
    if (maker && maker != DataBase::nothingAtom) display_->AddLink(LinkTargetOf(maker));
    display_->EndPara();
    display_->EndText();
    display_->DisplayText();
    if (TextConstants::textLanguage == 1) {
        SetCaption("Feedback");
        links_->setTitle(QStringLiteral("Links for feedback"));
        website_->SetCaption(MakerAddress::kFeedbackPage);
        cancel_->SetCaption("Close");
    }
}

void Feedback::Notify(int code, const std::string& text) {
    if (code == 0) Searches::FollowLink(text, nullptr, nullptr);
}
