#include "Alpha.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QPointer>
#include <QStatusBar>

#include "Atom.h"
#include "Errors.h"
#include "ExampleMode.h"
#include "GenDescr.h"
#include "InfoTables.h"
#include "Options.h"
#include "QtLowLevel.h"
#include "QtText.h"
#include "ResultSet.h"
#include "RichTextPane.h"
#include "Searches.h"
#include "TextConstants.h"
#include "TextDisplay.h"
#include "WinMan.h"

using TextConstants::LangText;

namespace {
constexpr int kWidth = 669, kHeight = 482, kStatusH = 20;
}

Alpha::Alpha() : ChildForm("Alpha") {}

Alpha::~Alpha() { Unbind(); }

void Alpha::Unbind() {
    if (names_) names_->Unbind();
    if (descr_) descr_->Unbind();
}

// --- layout --------------------------------------------------------------------------

void Alpha::BuildControls() {
    SetClientSize(kWidth, kHeight);
    SetCaption("Namen alphabetisch");

    lettersFrame_ = AddFrame("LettersFrame", "Anfangsbuchstabe", {8, 4, 653, 52});
    for (int i = 0; i < 26; ++i) {
        auto* b = Add<CommandButton>("Letter", i, lettersFrame_);
        b->SetCaption(std::string(1, static_cast<char>('A' + i)));
        b->setGeometry(8 + i * 24, 20, 23, 24);
        letter_[static_cast<size_t>(i)] = b;
    }

    genderFrame_ = AddFrame("GenderFrame", "Anzeigen", {8, 60, 340, 46});
    male_ = Add<OptionButton>("Male", -1, genderFrame_);
    male_->SetCaption("nur m\xe4nnliche");
    male_->setGeometry(10, 20, 112, 20);
    female_ = Add<OptionButton>("Female", -1, genderFrame_);
    female_->SetCaption("nur weibliche");
    female_->setGeometry(126, 20, 112, 20);
    both_ = Add<OptionButton>("Both", -1, genderFrame_);
    both_->SetCaption("alle");
    both_->setGeometry(242, 20, 90, 20);
    // The picture box of the frame draws nothing of its own.
    auto* picture = Add<QWidget>("Picture1", -1, genderFrame_);
    picture->setGeometry(334, 20, 2, 2);

    asFavorite_ = AddButton("AsFavorite", "Als Favorit", {356, 74, 80, 26});
    asList_ = AddButton("AsList", "Als Liste", {440, 74, 72, 26});
    showEx_ = AddButton("ShowEx", "Beispiel", {516, 74, 70, 26});
    showHelp_ = AddHelpButton();
    showHelp_->setGeometry(590, 74, 70, 26);

    namesFrame_ = AddFrame("NamesFrame", "Namen", {8, 110, 200, 346});
    namesView_ = Add<ListView>("Names");
    namesView_->setGeometry(16, 130, 184, 318);
    namesView_->raise();

    textFrame_ = AddFrame("TextFrame", "Informationen zum Namen", {216, 110, 445, 346});
    text_ = Add<RichTextPane>("Text");
    text_->setGeometry(224, 130, 429, 318);
    text_->raise();

    statusBar1_ = Add<QStatusBar>("StatusBar1");
    statusBar1_->setSizeGripEnabled(false);
    statusBar1_->setGeometry(0, kHeight - kStatusH, kWidth, kStatusH);
}

// --- load ------------------------------------------------------------------------------

void Alpha::Form_Load() {
    suppressEvents = false;
    fillBusy_ = selectBusy_ = false;
    curAtom_ = nullptr;
    letterIndex_ = 0;
    const double bottom = 3 * U() + kStatusH * 15;

    Unbind();
    namesDisplay_ = std::make_unique<ListViewDisplay>(namesView_);
    names_ = std::make_shared<ResultSet>();
    names_->Init("", nullptr, "Tabelle der Namen mit dem gew\xe4hlten Anfangsbuchstaben", nullptr,
                 namesDisplay_.get());
    names_->DefineOneCol("Name");
    names_->ShowColor();
    namesDisplay_->InitSize(*names_, Client(), true, bottom, false, 0, namesFrame_);

    td_ = std::make_unique<TextDisplay>();
    td_->Init("Text", text_, this);
    textDisplay_ = std::make_unique<TextPaneDisplay>(td_.get(), text_);
    descr_ = std::make_shared<ResultSet>();
    descr_->Init("", nullptr, "Informationen \xfc" "ber den aktuell gew\xe4hlten Namen", nullptr, textDisplay_.get());
    descr_->showLinks();
    descr_->showSelfLinks(true);
    descr_->ShowColor();
    textDisplay_->InitSize(*descr_, Client(), true, bottom, true, 3 * U(), textFrame_);

    for (int i = 0; i < 26; ++i) letter_[static_cast<size_t>(i)]->onClick = [this, i] { Letter_Click(i); };
    namesView_->onClick = [this] {
        if (WinMan::ActionBlocked()) return;
        Names_ItemClick();
    };
    asList_->onClick = [this] { AsList_Click(); };
    asFavorite_->onClick = [this] { AsFavorite_Click(); };
    showEx_->onClick = [this] {
        if (!WinMan::ActionBlocked()) Examples::ShowExample(Name());
    };

    // The stored gender choice; its click fills nothing yet (the letter
    // below does).
    {
        Suppress quiet(*this);
        const int g = Options::AlphaGender;
        (g == 0 ? male_ : g == 1 ? female_ : both_)->SetValue(true);
    }
    GuardOptions({male_, female_, both_}, [this](int i) { Gender_Click(i); });

    Tip(lettersFrame_, "Einen bestimmten Anfangsbuchstaben zur Anzeige w\xe4hlen", "Select a starting letter to display");
    Tip(asFavorite_, "Gew\xe4hlten Namen als Favorit vermerken",
        "Add the currently selected name to the table of favorites");
    Tip(asList_, "Aktuelle Namens-Tabelle als Liste \xfc" "bergeben", "Turn the current name table into a list");
    Tip(showEx_, "Interessante Beispiele anzeigen", "Show interesting examples");
    Tip(both_, "Weibliche und m\xe4nnliche, d. h. alle Namen anzeigen", "Show both female and male names, i.e. all names");
    Tip(female_, "Nur weibliche Namen anzeigen", "Show only female names");
    Tip(male_, "Nur m\xe4nnliche Namen anzeigen", "Show only male names");
    Tip(showHelp_, "Hilfe zum Fenster anzeigen", "Show help for this window");
    SetEnglishTexts();

    // Commands whose window this build lacks stay disabled.
    asFavorite_->setEnabled(Auto::IsAvailable(WindowNames::kFavorites));
    asList_->setEnabled(Auto::IsAvailable(WindowNames::kNameLists));
    showEx_->setEnabled(static_cast<bool>(Examples::showExample));

    FollowClientSize();
    Letter_Click(0);
}

void Alpha::SetEnglishTexts() {
    if (TextConstants::textLanguage != 1) return;
    SetCaption("Names by Alphabet");
    lettersFrame_->setTitle(QStringLiteral("Starting letter"));
    genderFrame_->setTitle(QStringLiteral("Show"));
    male_->SetCaption("Only male");
    female_->SetCaption("Only female");
    both_->SetCaption("All");
    namesFrame_->setTitle(QStringLiteral("Names"));
    textFrame_->setTitle(QStringLiteral("Information about the name"));
    asFavorite_->SetCaption("As Favorite");
    asList_->SetCaption("As List");
    showEx_->SetCaption("Example");
    names_->setToolTipText("Table of the names starting with the selected letter");
    descr_->setToolTipText("Information about the currently selected name");
}

void Alpha::Form_Resize() {
    if (IsLoading() || !names_ || !descr_) return;
    statusBar1_->setGeometry(0, Client()->height() - kStatusH, Client()->width(), kStatusH);
    namesDisplay_->Resize(*names_);
    textDisplay_->Resize(*descr_);
}

void Alpha::Form_Unload(bool&) {
    Unbind();
    curAtom_ = nullptr;
}

// --- handlers ----------------------------------------------------------------------------

void Alpha::Letter_Click(int index) {
    if (fillBusy_ || !names_ || index < 0 || index >= 26) return;
    if (!IsLoading() && WinMan::ActionBlocked()) return;
    fillBusy_ = true;
    InfoTables::FillLetter(*names_, index, male_->Value() || both_->Value(), female_->Value() || both_->Value());
    names_->Show();
    if (names_->numLines() > 0) {
        Suppress quiet(*this);
        names_->markLine(0);
    }
    namesFrame_->setTitle(QtText::ToQt(InfoTables::LetterCaption(*names_, index)));
    names_->setPureTitle(InfoTables::LetterTitle(index));
    letterIndex_ = index;
    Names_ItemClick();
    if (!IsLoading()) WinMan::FocusIfCurrent(*this, namesView_);
    fillBusy_ = false;
}

void Alpha::Gender_Click(int) {
    // The table goes on with the same letter; the keyboard stays in the
    // gender group, where the arrow keys choose on.
    QPointer<QWidget> focus = QApplication::focusWidget();
    Letter_Click(letterIndex_);
    if (focus && genderFrame_->isAncestorOf(focus)) focus->setFocus(Qt::OtherFocusReason);
    Options::AlphaGender = both_->Value() ? 2 : female_->Value() ? 1 : 0;
}

void Alpha::Names_ItemClick() {
    if (selectBusy_ || suppressEvents || !descr_) return;
    selectBusy_ = true;
    descr_->Reset();
    const int32_t line = names_->SelIndex();
    if (names_->numLines() > 0 && line >= 0 && line < names_->numLines()) {
        atom* a = names_->atom(line);
        descr_->setSelfAtom(a);
        curAtom_ = a;
        GenDescr::DescrFlags flags;
        flags.withAtomLinks = true;
        flags.richText = true;
        flags.withHelpLinks = Options::ShowAlphaInfoLinks;
        GenDescr::DescribeName(a, *descr_, flags);
    } else {
        curAtom_ = nullptr;
        descr_->setSelfAtom(nullptr);
    }
    descr_->Show();
    selectBusy_ = false;
}

void Alpha::AsList_Click() {
    if (names_) AsList(*names_, names_->pureTitle());
}

void Alpha::AsFavorite_Click() {
    if (WinMan::ActionBlocked() || !descr_ || descr_->numLines() == 0 || !descr_->selfAtom()) return;
    WinMan::OpenForm(WindowNames::kFavorites);
    if (auto* favorites = dynamic_cast<AtomShower*>(Auto::GetForm(WindowNames::kFavorites)))
        favorites->ShowAtom(descr_->selfAtom());
}

std::string Alpha::NamesCaption() const { return namesFrame_ ? QtText::FromQt(namesFrame_->title()) : std::string(); }

void Alpha::OnNotify(int code, const std::string& text) {
    switch (code) {
    case 0: FollowDescriptionLink(text, curAtom_); break;
    case 3: {
        const int index = text.empty() ? -1 : static_cast<unsigned char>(text[0]) - 'A';
        Errors::Assert(index >= 0 && index < 26, "Alpha Exec " + text);
        if (index >= 0 && index < 26) Letter_Click(index);
        break;
    }
    default: break;
    }
}
