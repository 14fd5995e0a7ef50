#include "Realm.h"

#include <QEvent>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <algorithm>

#include "Atom.h"
#include "CountText.h"
#include "ExampleMode.h"
#include "InfoTables.h"
#include "QtLowLevel.h"
#include "QtText.h"
#include "ResultSet.h"
#include "TextConstants.h"
#include "WinMan.h"

using TextConstants::LangText;

namespace {
constexpr int kWidth = 422, kHeight = 438, kStatusH = 20;
// The description box holds three lines, room for the longest description at
// the designed width; it takes a quarter of the height the window gains.
constexpr int kDescrTop = 40, kDescrH = 54;
constexpr int kFramesTop = kDescrTop + kDescrH + 6;
}

Realm::Realm() : ChildForm(WindowNames::kRealm) {}

Realm::~Realm() { Unbind(); }

void Realm::Unbind() {
    if (names_) names_->Unbind();
    if (words_) words_->Unbind();
}

void Realm::BuildControls() {
    SetClientSize(kWidth, kHeight);
    SetCaption("Themengebiet");

    curRealmBox_ = Add<ComboBox>("CurRealm");
    curRealmBox_->setGeometry(8, 8, 170, 24);
    asList_ = AddButton("AsList", "Als Liste", {184, 7, 76, 26});
    showEx_ = AddButton("ShowEx", "Beispiel", {264, 7, 74, 26});
    showHelp_ = AddHelpButton();
    showHelp_->setGeometry(342, 7, 72, 26);
    curRealmDescr_ = Add<QPlainTextEdit>("CurRealmDescr");
    curRealmDescr_->setReadOnly(true);
    curRealmDescr_->setGeometry(8, kDescrTop, 406, kDescrH);

    const int framesH = kHeight - kStatusH - 4 - kFramesTop;
    namesFrame_ = AddFrame("NamesFrame", "Namen", {8, kFramesTop, 200, framesH});
    namesView_ = Add<ListView>("Names");
    namesView_->setGeometry(16, kFramesTop + 20, 184, framesH - 28);
    namesView_->raise();
    wordsFrame_ = Add<QGroupBox>("WordsFrame");
    wordsFrame_->setTitle(QStringLiteral("W\u00f6rter"));
    wordsFrame_->setGeometry(216, kFramesTop, 198, framesH);
    wordsView_ = Add<ListView>("Words");
    wordsView_->setGeometry(224, kFramesTop + 20, 182, framesH - 28);
    wordsView_->raise();

    statusBar2_ = Add<QStatusBar>("StatusBar2");
    statusBar2_->setSizeGripEnabled(false);
    statusBar2_->setGeometry(0, kHeight - kStatusH, kWidth, kStatusH);
}

void Realm::Form_Load() {
    suppressEvents = false;
    CancelMouseUpActivation();
    curRealm_ = nullptr;
    builds_ = 0;
    const double bottom = 3 * U() + kStatusH * 15;

    // The topic box: every topic by its text.
    topics_ = InfoTables::Topics();
    {
        Suppress quiet(*this);
        curRealmBox_->Clear();
        for (atom* t : topics_) curRealmBox_->AddItem(t->Text());
    }

    Unbind();
    namesDisplay_ = std::make_unique<ListViewDisplay>(namesView_);
    names_ = std::make_shared<ResultSet>();
    names_->Init("", nullptr, "Alle Namen mit Bezug zum gew\xe4hlten Themengebiet", nullptr, namesDisplay_.get());
    names_->ShowColor();
    names_->DefineOneCol("Name");
    namesDisplay_->InitSize(*names_, Client(), true, bottom, false, 0, namesFrame_);
    wordsDisplay_ = std::make_unique<ListViewDisplay>(wordsView_);
    words_ = std::make_shared<ResultSet>();
    words_->Init("", nullptr, "Alle W\xf6rter mit Bezug zum gew\xe4hlten Themengebiet", nullptr, wordsDisplay_.get());
    words_->ShowColor();
    words_->DefineOneCol(LangText("Wort", "Word"));
    wordsDisplay_->InitSize(*words_, Client(), true, bottom, true, 3 * U(), wordsFrame_);
    browseCopy.reset();
    browseCopyTitle.clear();

    curRealmBox_->onClick = [this] { CurRealm_Click(); };
    curRealmBox_->onDropDown = [this] { LowLevel::SetComboDropHeight(curRealmBox_); };
    asList_->onClick = [this] { AsList_Click(); };
    showEx_->onClick = [this] {
        if (!WinMan::ActionBlocked()) Examples::ShowExample(Name());
    };
    namesView_->onClick = [this] { Names_ItemClick(); };
    wordsView_->onClick = [this] { Words_ItemClick(); };
    WatchMouseUp(namesView_->viewport());
    WatchMouseUp(wordsView_->viewport());

    Tip(curRealmBox_, "Wahl des Themengebiets/Anzeige des gew\xe4hlten Themengebiets",
        "Choose a topic for display/currently selected topic");
    Tip(curRealmDescr_, "Beschreibung, Informationen \xfc" "ber das gew\xe4hlte Themengebiet",
        "Information/description of the currently selected topic");
    Tip(asList_, "Aktuelle Namens-Tabelle als Liste \xfc" "bergeben", "Turn the name table shown into a list");
    Tip(showEx_, "Interessante Beispiele anzeigen", "Show interesting examples");
    Tip(showHelp_, "Hilfe zum Fenster anzeigen", "Show help for this window");
    SetEnglishTexts();
    asList_->setEnabled(Auto::IsAvailable(WindowNames::kNameLists));
    showEx_->setEnabled(static_cast<bool>(Examples::showExample));
    FollowClientSize();

    // A database without topics leaves the window empty.
    if (!topics_.empty()) curRealmBox_->SetListIndex(0);
}

void Realm::SetEnglishTexts() {
    if (TextConstants::textLanguage != 1) return;
    SetCaption("Topic");
    asList_->SetCaption("As List");
    showEx_->SetCaption("Example");
    namesFrame_->setTitle(QStringLiteral("Names"));
    wordsFrame_->setTitle(QStringLiteral("Words"));
    names_->setToolTipText("All names related to the currently selected topic");
    words_->setToolTipText("All words related to the currently selected topic");
}

void Realm::CurRealm_Click() {
    if (suppressEvents) return;
    if (!IsLoading() && WinMan::ActionBlocked()) {
        // Put the topic shown back into the box.
        Suppress quiet(*this);
        int shown = -1;
        for (size_t i = 0; i < topics_.size(); ++i)
            if (topics_[i] == curRealm_) shown = static_cast<int>(i);
        curRealmBox_->SetListIndex(shown);
        return;
    }
    const int i = curRealmBox_->ListIndex();
    if (i >= 0 && i < static_cast<int>(topics_.size())) ShowAtom(topics_[static_cast<size_t>(i)]);
}

void Realm::ShowAtom(atom* topic) {
    if (!topic || topic == curRealm_ || !names_) return;
    curRealm_ = topic;
    {
        Suppress quiet(*this);
        for (size_t i = 0; i < topics_.size(); ++i)
            if (topics_[i] == topic) curRealmBox_->SetListIndex(static_cast<int>(i));
        curRealmDescr_->setPlainText(QtText::ToQt(topic->Descr()));
    }
    ++builds_;
    InfoTables::FillTopic(topic, *names_, *words_);
    words_->Show();
    wordsFrame_->setTitle(QtText::ToQt(CountText::WordCountText(words_->numLines())));
    names_->Show();
    namesFrame_->setTitle(QtText::ToQt(CountText::ResultSizeText(*names_)));
}

void Realm::AsList_Click() {
    if (names_) AsList(*names_, names_->pureTitle());
}

void Realm::Names_ItemClick() {
    if (suppressEvents || WinMan::ActionBlocked() || !names_) return;
    TableItemToNameWindow(*names_);
}

void Realm::Words_ItemClick() {
    if (suppressEvents || WinMan::ActionBlocked() || !words_) return;
    TableItemToWordWindow(*words_, wordsView_->viewport());
}

void Realm::Form_Activate() {
    CancelMouseUpActivation();
}

void Realm::Form_Resize() {
    if (IsLoading() || !names_ || !words_) return;
    statusBar2_->setGeometry(0, Client()->height() - kStatusH, Client()->width(), kStatusH);
    // The description is as wide as the window and takes a share of the
    // height it gains; the tables move down below it and fill the rest.
    const int descrH = kDescrH + std::max(0, Client()->height() - kHeight) / 4;
    curRealmDescr_->setGeometry(8, kDescrTop, std::max(100, Client()->width() - 16), descrH);
    const int framesTop = kDescrTop + descrH + 6;
    for (QWidget* w : {static_cast<QWidget*>(namesFrame_), static_cast<QWidget*>(wordsFrame_)}) w->move(w->x(), framesTop);
    for (QWidget* w : {static_cast<QWidget*>(namesView_), static_cast<QWidget*>(wordsView_)}) w->move(w->x(), framesTop + 20);
    // The tables' height is reckoned from their top, which has just moved:
    // with the top of the load they ran past the window's bottom edge.
    names_->view.ctlTop = namesDisplay_->Geometry().top;
    words_->view.ctlTop = wordsDisplay_->Geometry().top;
    namesDisplay_->Resize(*names_);
    wordsDisplay_->Resize(*words_);
}

void Realm::Form_Unload(bool&) {
    Unbind();
    curRealm_ = nullptr;
    topics_.clear();
}

void Realm::OnNotify(int code, const std::string&) {
    if (code == 3) {
        // The tutorial runs the box's selection again.
        const int i = curRealmBox_ ? curRealmBox_->ListIndex() : -1;
        if (i >= 0 && i < static_cast<int>(topics_.size())) ShowAtom(topics_[static_cast<size_t>(i)]);
    }
}
