#include "OrigLang.h"

#include <QEvent>
#include <QGroupBox>
#include <QScrollBar>
#include <QStatusBar>
#include <algorithm>

#include "Atom.h"
#include "CountText.h"
#include "DataBase.h"
#include "ExampleMode.h"
#include "InfoTables.h"
#include "LangCombo.h"
#include "Options.h"
#include "QtLowLevel.h"
#include "QtText.h"
#include "ResultSet.h"
#include "RichTextPane.h"
#include "Services.h"
#include "TextConstants.h"
#include "TextDisplay.h"
#include "WinMan.h"

using TextConstants::LangText;

namespace {
constexpr int kWidth = 652, kHeight = 413, kStatusH = 20;
constexpr int kDescrWidth = kWidth - 16;
}

OrigLang::OrigLang() : ChildForm(WindowNames::kOrigLang) {}

OrigLang::~OrigLang() { Unbind(); }

void OrigLang::Unbind() {
    for (auto* rs : {origin_.get(), use_.get(), words_.get()})
        if (rs) rs->Unbind();
}

void OrigLang::BuildControls() {
    SetClientSize(kWidth, kHeight);
    SetCaption("Sprache");

    curLangBox_ = Add<ComboBox>("CurLang");
    curLangBox_->setGeometry(8, 8, 200, 24);
    auto button = [this](const char* name, const char* caption, int x, int w) {
        auto* b = Add<CommandButton>(name);
        b->SetCaption(caption);
        b->setGeometry(x, 7, w, 26);
        return b;
    };
    origAsList_ = button("OrigAsList", "Herkunft als Liste", 216, 132);
    curAsList_ = button("CurAsList", "Gebrauch als Liste", 352, 132);
    showEx_ = button("ShowEx", "Beispiel", 488, 76);
    showHelp_ = AddHelpButton();
    showHelp_->setGeometry(568, 7, 76, 26);

    descrPane_ = Add<RichTextPane>("CurLangDescr");
    descrPane_->setGeometry(8, 40, kDescrWidth, 56);

    auto table = [this](const char* frameName, const char* caption, const char* viewName, int x, int w,
                        QGroupBox*& frame, ListView*& view) {
        frame = Add<QGroupBox>(frameName);
        frame->setTitle(QtText::ToQt(caption));
        frame->setGeometry(x, 102, w, 288);
        view = Add<ListView>(viewName);
        view->setGeometry(x + 8, 122, w - 16, 260);
        view->raise();
    };
    table("OrigGroupsFrame", "Herkunft", "OrigGroups", 8, 160, origFrame_, origView_);
    table("CurGroupsFrame", "Gebrauch", "CurGroups", 176, 160, useFrame_, useView_);
    table("WordsFrame", "W\xf6rter", "Words", 344, 300, wordsFrame_, wordsView_);

    statusBar1_ = Add<QStatusBar>("StatusBar1");
    statusBar1_->setSizeGripEnabled(false);
    statusBar1_->setGeometry(0, kHeight - kStatusH, kWidth, kStatusH);
}

void OrigLang::Form_Load() {
    suppressEvents = false;
    curLang_ = nullptr;
    shownIndex_ = -1;
    const double bottom = 3 * U() + kStatusH * 15;

    descrTd_ = std::make_unique<TextDisplay>();
    descrTd_->Init("CurLangDescr", descrPane_, this);

    Unbind();
    auto make = [&](ListView* view, std::unique_ptr<ListViewDisplay>& display, std::shared_ptr<ResultSet>& rs,
                    const std::string& tip) {
        display = std::make_unique<ListViewDisplay>(view);
        rs = std::make_shared<ResultSet>();
        rs->Init("", nullptr, tip, nullptr, display.get());
        rs->ShowColor();
    };
    make(origView_, origDisplay_, origin_, "Alle Gruppen mit der gew\xe4hlten Sprache der Herkunft");
    origin_->DefineOneCol("Name");
    origDisplay_->InitSize(*origin_, Client(), true, bottom, false, 0, origFrame_);
    make(useView_, useDisplay_, use_, "Alle Namen mit der gew\xe4hlten Sprache des Gebrauchs");
    use_->DefineOneCol("Name");
    useDisplay_->InitSize(*use_, Client(), true, bottom, false, 0, useFrame_);
    make(wordsView_, wordsDisplay_, words_, "Alle W\xf6rter mit der gew\xe4hlten Sprache der Herkunft");
    words_->DefineTwoCol(LangText("Wort", "Word"), 1.0 / 3.0, LangText("Deutsch", "English"), 2.0 / 3.0);
    wordsDisplay_->InitSize(*words_, Client(), true, bottom, true, 3 * U(), wordsFrame_);

    Tip(curLangBox_, "Wahl der Sprache/Anzeige der gew\xe4hlten Sprache",
        "Choose a language for display/currently selected language");
    Tip(descrPane_, "Beschreibung, Informationen \xfc" "ber die gew\xe4hlte Sprache",
        "Information/description of the currently selected language");
    Tip(origAsList_, "Aktuelle Namens-Tabelle 'Herkunft' als Liste \xfc" "bergeben",
        "Turn the current 'Origin' name table into a list");
    Tip(curAsList_, "Aktuelle Namens-Tabelle 'Gebrauch' als Liste \xfc" "bergeben",
        "Turn the current 'Use' name table into a list");
    Tip(showEx_, "Interessante Beispiele anzeigen", "Show interesting examples");
    Tip(showHelp_, "Hilfe zum Fenster anzeigen", "Show help for this window");
    SetEnglishTexts();

    curLangBox_->onClick = [this] { CurLang_Click(); };
    curLangBox_->onDropDown = [this] { LowLevel::SetComboDropHeight(curLangBox_); };
    origAsList_->onClick = [this] { OrigAsList_Click(); };
    curAsList_->onClick = [this] { CurAsList_Click(); };
    showEx_->onClick = [this] {
        if (!WinMan::ActionBlocked()) Examples::ShowExample(Name());
    };
    origView_->onClick = [this] { OrigGroups_ItemClick(); };
    useView_->onClick = [this] { CurGroups_ItemClick(); };
    wordsView_->onClick = [this] { Words_ItemClick(); };
    for (ListView* v : {origView_, useView_, wordsView_}) WatchMouseUp(v->viewport());
    origAsList_->setEnabled(Auto::IsAvailable(WindowNames::kNameLists));
    curAsList_->setEnabled(Auto::IsAvailable(WindowNames::kNameLists));
    showEx_->setEnabled(static_cast<bool>(Examples::showExample));
    FollowClientSize();

    // The separator can be chosen: it stands for the first language.
    {
        Suppress quiet(*this);
        LangCombo::Fill(curLangBox_, true, false, true);
    }
    origCopy_.reset();
    useCopy_.reset();
    origCopyTitle_.clear();
    useCopyTitle_.clear();
    CancelMouseUpActivation();
    if (curLangBox_->ListCount() > 0) curLangBox_->SetListIndex(0);
}

void OrigLang::SetEnglishTexts() {
    if (TextConstants::textLanguage != 1) return;
    SetCaption("Language");
    origFrame_->setTitle(QStringLiteral("Origin"));
    useFrame_->setTitle(QStringLiteral("Use"));
    wordsFrame_->setTitle(QStringLiteral("Words"));
    origAsList_->SetCaption("Origin as List");
    curAsList_->SetCaption("Use as List");
    showEx_->SetCaption("Example");
    origin_->setToolTipText("All groups with the currently selected language of origin");
    use_->setToolTipText("All names with the currently selected language of use");
    words_->setToolTipText("All words with the currently selected language of origin");
}

void OrigLang::CurLang_Click() {
    if (suppressEvents) return;
    if (!IsLoading() && WinMan::ActionBlocked()) {
        Suppress quiet(*this);
        curLangBox_->SetListIndex(shownIndex_);
        return;
    }
    atom* lang = LangCombo::SelectedLang(curLangBox_);
    shownIndex_ = curLangBox_->ListIndex();
    if (lang) ShowAtom(lang);
}

void OrigLang::ShowAtom(atom* lang) {
    if (!lang || lang == DataBase::nothingAtom || lang == curLang_ || !origin_) return;
    curLang_ = lang;
    ++builds_;
    {
        Suppress quiet(*this);
        const std::string text = lang->Text();
        // The entry already selected may name it (the main languages come twice).
        if (curLangBox_->Text() != text)
            for (int i = 0; i < curLangBox_->ListCount(); ++i)
                if (curLangBox_->List(i) == text) {
                    curLangBox_->SetListIndex(i);
                    break;
                }
        shownIndex_ = curLangBox_->ListIndex();
    }
    InfoTables::FillLanguage(lang, *origin_, *use_, *words_);
    ShowDescription(lang);
    origin_->Show();
    origFrame_->setTitle(QtText::ToQt(CountText::ResultSizeText(*origin_) + LangText(" (Herkunft)", " (origin)")));
    use_->Show();
    useFrame_->setTitle(QtText::ToQt(CountText::ResultSizeText(*use_) + LangText(" (Gebrauch)", " (use)")));
    words_->Show();
    wordsFrame_->setTitle(QtText::ToQt(CountText::WordCountText(words_->numLines())));
    Services::Events().DoEvents();
    // A new language starts at the top of its description.
    if (descrPane_) {
        descrPane_->verticalScrollBar()->setValue(0);
        descrPane_->horizontalScrollBar()->setValue(0);
    }
}

void OrigLang::ShowDescription(atom* lang) {
    DataBase::CollectLangFamily(lang);
    const std::vector<atom*> family = DataBase::subLangs;
    TextDisplay& td = *descrTd_;
    td.BeginText();
    td.SetFontSize(16);
    td.SetTabPos(0);
    td.BeginPara();
    const bool alone = family.size() <= 1;
    if (alone) td.BeginColor(Options::OptColor[4]);
    td.AddStr(lang->Descr());
    if (alone) {
        td.EndColor();
    } else {
        std::string links = " (";
        bool first = true;
        for (atom* m : family) {
            if (m == lang) continue;
            if (!first) links += ", ";
            first = false;
            links += "<a>" + std::string(m->name()) + "</a>";
        }
        td.AddStrWithMarks(links + ")", true);
    }
    td.EndPara();
    td.EndText();
    // The sub-language links are coloured but lead nowhere. Writing a link
    // switches links on, so they go off once the text is written.
    td.setWithLinks(false);
    td.DisplayText();
}

void OrigLang::OrigAsList_Click() {
    if (origin_) AsList(*origin_, origin_->pureTitle());
}

void OrigLang::CurAsList_Click() {
    if (use_) AsList(*use_, use_->pureTitle());
}

void OrigLang::TableToNameWindow(ResultSet& table, std::shared_ptr<ResultSet>& copy, std::string& copyTitle) {
    if (suppressEvents || WinMan::ActionBlocked()) return;
    // Each name table keeps a browse copy of its own.
    browseCopy = copy;
    browseCopyTitle = copyTitle;
    TableItemToNameWindow(table);
    copy = browseCopy;
    copyTitle = browseCopyTitle;
}

void OrigLang::OrigGroups_ItemClick() {
    if (origin_) TableToNameWindow(*origin_, origCopy_, origCopyTitle_);
}

void OrigLang::CurGroups_ItemClick() {
    if (use_) TableToNameWindow(*use_, useCopy_, useCopyTitle_);
}

void OrigLang::Words_ItemClick() {
    if (suppressEvents || WinMan::ActionBlocked() || !words_) return;
    TableItemToWordWindow(*words_, wordsView_->viewport());
}

std::string OrigLang::DescrRtf() const { return descrTd_ ? descrTd_->GetStr() : std::string(); }

std::string OrigLang::Caption(const char* frame) const {
    const std::string f = frame;
    QGroupBox* box = f == "OrigGroupsFrame" ? origFrame_ : f == "CurGroupsFrame" ? useFrame_ : wordsFrame_;
    return box ? QtText::FromQt(box->title()) : std::string();
}

void OrigLang::Form_Activate() {
    CancelMouseUpActivation();
}

void OrigLang::Form_Resize() {
    if (IsLoading() || !origin_) return;
    statusBar1_->setGeometry(0, Client()->height() - kStatusH, Client()->width(), kStatusH);
    // The description spans the window as the words table below it does.
    descrPane_->resize(std::max(kDescrWidth, Client()->width() - 16), descrPane_->height());
    origDisplay_->Resize(*origin_);
    useDisplay_->Resize(*use_);
    wordsDisplay_->Resize(*words_);
}

void OrigLang::Form_Unload(bool&) {
    Unbind();
    curLang_ = nullptr;
}

void OrigLang::OnNotify(int code, const std::string& text) {
    switch (code) {
    case 0: FollowDescriptionLink(text, nullptr); break;
    case 3:
        if (!text.empty())
            OrigAsList_Click();
        else if (!suppressEvents && !WinMan::ActionBlocked())
            if (atom* lang = LangCombo::SelectedLang(curLangBox_)) ShowAtom(lang);
        break;
    case 4: {
        // The user's names changed: the same language again, anew.
        atom* lang = curLang_;
        if (!lang) return;
        curLang_ = nullptr;
        ShowAtom(lang);
        break;
    }
    default: break;
    }
}
