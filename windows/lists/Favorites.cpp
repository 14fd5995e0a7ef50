#include "Favorites.h"

#include <QEvent>
#include <QGroupBox>
#include <QStatusBar>
#include <QTimer>

#include "Atom.h"
#include "AutoSave.h"
#include "Cp1252.h"
#include "DataBase.h"
#include "Errors.h"
#include "FavoriteRules.h"
#include "FileOp.h"
#include "GenMsg.h"
#include "Options.h"
#include "QtText.h"
#include "ResultSet.h"
#include "ResultViews.h"
#include "Searches.h"
#include "Services.h"
#include "TextConstants.h"
#include "WinMan.h"

using TextConstants::LangText;

namespace {

constexpr int kWidth = 665, kHeight = 446;  // 9975 x 6690 twips
constexpr int kStatusHeight = 20;

}  // namespace

Favorites::Favorites() : ChildForm(WindowNames::kFavorites) {}

Favorites::~Favorites() {
    if (table_) table_->Unbind();
}

void Favorites::BuildControls() {
    SetClientSize(kWidth, kHeight);
    SetCaption("Favoriten");
    FollowClientSize();
    favoriteFrame_ = AddFrame("FavoriteFrame", "Favorit", {8, 4, 254, 54});
    curName_ = Add<TextBox>("CurName", -1, favoriteFrame_);
    curName_->setGeometry(8, 22, 150, 24);
    enterFav_ = AddButton("EnterFav", "Aufnehmen", {164, 22, 82, 24}, favoriteFrame_);
    commentFrame_ = AddFrame("CommentFrame", "Kommentar", {268, 4, 389, 54});
    comment_ = Add<TextBox>("Comment", -1, commentFrame_);
    comment_->setMaxLength(1000);
    comment_->setGeometry(8, 22, 287, 24);
    doModify_ = AddButton("DoModify", "\xc4ndern", {301, 22, 80, 24}, commentFrame_);

    frame3_ = AddFrame("Frame3", "Aktueller Favorit", {8, 60, 330, 50});
    doDelete_ = AddButton("DoDelete", "Entfernen", {8, 20, 76, 24}, frame3_);
    moveUp_ = AddButton("MoveUp", "Nach oben", {88, 20, 76, 24}, frame3_);
    moveDown_ = AddButton("MoveDown", "Nach unten", {168, 20, 76, 24}, frame3_);
    showInfo_ = AddButton("ShowInfo", "Anzeigen", {248, 20, 74, 24}, frame3_);
    allFrame_ = AddFrame("AllFrame", "Alle Favoriten", {344, 60, 235, 50});
    asList_ = AddButton("AsList", "Als Liste", {8, 20, 70, 24}, allFrame_);
    saveFav_ = AddButton("SaveFav", "Ablegen...", {82, 20, 72, 24}, allFrame_);
    loadFav_ = AddButton("LoadFav", "Wechseln...", {158, 20, 70, 24}, allFrame_);
    showHelp_ = AddHelpButton();
    showHelp_->setGeometry(587, 80, 70, 24);

    listFrame_ = AddFrame("ListFrame", "Favoriten", {8, 114, 649, 300});
    list_ = Add<ListView>("List");
    list_->setGeometry(16, 134, 633, 272);
    list_->raise();
    statusBar1_ = Add<QStatusBar>("StatusBar1");
    statusBar1_->setSizeGripEnabled(false);
    LayOut();
}

void Favorites::LayOut() {
    if (statusBar1_ && Client())
        statusBar1_->setGeometry(0, Client()->height() - kStatusHeight, Client()->width(), kStatusHeight);
}

void Favorites::Form_Load() {
    suppressEvents = false;
    if (table_) table_->Unbind();
    display_ = std::make_unique<ListViewDisplay>(list_);
    table_ = std::make_shared<ResultSet>();
    table_->Init("Favoriten", nullptr, "Momentane Favoritenliste", nullptr, display_.get());
    table_->DefineTwoCol("Name", 1.0 / 3.0, LangText("Kommentar", "Comment"), 2.0 / 3.0);
    table_->ShowColor();
    display_->InitSize(*table_, Client(), true, 3 * U() + kStatusHeight * 15, true, 3 * U(), listFrame_);
    table_->setPureTitle(" als Favoriten");

    Tip(curName_, "Aktuell gew\xe4hlter bzw. neuer Favorit", "Currently selected or new favorite");
    Tip(comment_, "Kommentar zum aktuell gew\xe4hlten Favoriten", "Comment for the currently selected favorite");
    Tip(enterFav_, "Eingegebenen Namen neu in die Favoritenliste aufnehmen",
        "Add the entered new name to the table of favorites");
    Tip(doDelete_, "Name aus der Favoritenliste wieder entfernen", "Delete a name from the table of favorites");
    Tip(moveUp_, "Einen Favoriten in der Reihenfolge eins nach oben r\xfc" "cken",
        "Move the currently selected favorite up one place");
    Tip(moveDown_, "Einen Favoriten in der Reihenfolge eins nach unten r\xfc" "cken",
        "Move the currently selected favorite down one place");
    Tip(asList_, "Alle Favoriten als Liste \xfc" "bergeben", "Turn the table of favorites into a list");
    Tip(saveFav_, "Alle Favoriten als Liste in einer Datei speichern", "Save the table of favorites as list into a file");
    Tip(loadFav_, "Alle Favoriten auswechseln durch die in einer Datei gespeicherten",
        "Replace the current table of favorites with a new table loaded from a file");
    Tip(showInfo_, "Namens-Informationen zu einem Favoriten anzeigen",
        "Show all name information of the currently selected favorite");
    Tip(doModify_, "Den Kommentar zu einem Favoriten erfassen bzw. \xe4ndern",
        "Enter or modify a comment for the currently selected favorite");
    Tip(showHelp_, "Hilfe zum Fenster anzeigen", "Show help for this window");

    stored_.Load(*table_);
    ShowAndMark(0);
    SetEnglishTexts();
    ShowCurrent();

    enterFav_->onClick = [this] { EnterFav_Click(); };
    curName_->onEnter = [this] { enterFav_->Press(); };
    doModify_->onClick = [this] { DoModify_Click(); };
    comment_->onEnter = [this] { doModify_->Press(); };
    // A comment typed but not yet stored is stored as the window closes.
    KeepOnClose(comment_, [this] { return CommentChanged(); }, [this] { StoreComment(); });
    comment_->installEventFilter(this);
    doDelete_->onClick = [this] { DoDelete_Click(); };
    moveUp_->onClick = [this] { MoveUp_Click(); };
    moveDown_->onClick = [this] { MoveDown_Click(); };
    showInfo_->onClick = [this] { ShowInfo_Click(); };
    asList_->onClick = [this] { AsList_Click(); };
    saveFav_->onClick = [this] { SaveFav_Click(); };
    loadFav_->onClick = [this] { LoadFav_Click(); };
    list_->onClick = [this] { List_ItemClick(); };

    isModified = false;
    saveTimer_ = new QTimer(Client());
    saveTimer_->setInterval(60000);
    connect(saveTimer_.data(), &QTimer::timeout, this, [this] { Run([this] { SaveTimer_Timer(); }); });
    saveTimer_->start();
}

void Favorites::SetEnglishTexts() {
    if (TextConstants::textLanguage != 1) return;
    SetCaption("Favorites");
    listFrame_->setTitle("Favorites");
    favoriteFrame_->setTitle("Favorite");
    frame3_->setTitle("Current favorite");
    enterFav_->SetCaption("Add");
    doModify_->SetCaption("Change");
    doDelete_->SetCaption("Delete");
    moveUp_->SetCaption("Move Up");
    moveDown_->SetCaption("Move Down");
    showInfo_->SetCaption("Show");
    allFrame_->setTitle("All favorites");
    asList_->SetCaption("As List");
    saveFav_->SetCaption("Write...");
    loadFav_->SetCaption("Change...");
    showHelp_->SetCaption("Help");
    table_->setToolTipText("Current table of favorites");
    table_->setPureTitle(" as favorites");
}

// --- the table -----------------------------------------------------------------------

void Favorites::MarkModified() {
    isModified = true;
    lastChangeMinute = Services::TheClock().Now().minute;
}

void Favorites::ShowAndMark(int32_t line) {
    Suppress s(*this);
    table_->Show();
    if (line >= 0 && line < table_->numLines()) table_->markLine(line);
}

void Favorites::ShowCurrent() {
    const int32_t line = table_ ? table_->marked() : -1;
    Suppress s(*this);
    if (line < 0 || line >= table_->numLines()) {
        curName_->SetText("");
        comment_->SetText("");
        commentFrame_->setTitle(QtText::ToQt(LangText("Kommentar", "Comment")));
        return;
    }
    const std::string name = FavoriteRules::NameOf(*table_, line);
    curName_->SetText(name);
    comment_->SetText(FavoriteRules::Comment(*table_, line));
    comment_->setCursorPosition(0);
    commentFrame_->setTitle(QtText::ToQt(LangText("Kommentar zu '", "Comment for '") + name + "'"));
}

void Favorites::Add(atom* a) {
    if (!IsLoaded()) Load();
    if (a == nullptr || !table_) return;
    const FavoriteRules::AddOutcome out = FavoriteRules::Add(*table_, a);
    if (out.full) {
        GenMsg::ShowMsg(GenMsg::GMfavFull, GenMsg::kExclamation, std::to_string(FavoriteRules::kMaxFavorites));
        return;
    }
    if (out.added) MarkModified();
    ShowAndMark(out.line);
    WinMan::FocusIfCurrent(*this, list_);
    ShowCurrent();
}

bool Favorites::SaveTable(bool show) {
    const bool typing = CommentChanged();
    const FavoriteRules::StoredTable::Saved saved = stored_.Save(*table_);
    if (!saved.ok) return false;
    isModified = false;
    if (saved.changed && show) ShowRefill(saved, typing);
    return true;
}

void Favorites::ShowRefill(const FavoriteRules::StoredTable::Refill& refill, bool typing) {
    ShowAndMark(refill.mark);
    // A comment being typed stays in its box while its favorite stays marked.
    if (!typing || !refill.kept) ShowCurrent();
}

void Favorites::OnNotify(int code, const std::string&) {
    if (code != 4 || !table_) return;
    const bool typing = CommentChanged();
    const FavoriteRules::StoredTable::Refill refill = stored_.FollowUserNames(*table_);
    if (!refill.changed) return;
    MarkModified();
    ShowRefill(refill, typing);
}

void Favorites::SaveTimer_Timer() {
    if (!isModified || !table_) return;
    if (!AutoSave::MinuteSaveDue(Services::TheClock().Now().minute, lastChangeMinute)) return;
    // A refused write keeps the change for the next tick or the unload.
    SaveTable(true);
}

// --- handlers ------------------------------------------------------------------------------

void Favorites::EnterFav_Click() {
    if (WinMan::ActionBlocked()) return;
    std::string text = curName_->Text();
    Searches::LocateName(text, 1, 0, this);
}

void Favorites::Comment_LostFocus() {
    const std::string text = comment_->Text();
    const std::string fixed = FavoriteRules::QuotesToApostrophes(text);
    if (fixed != text) SetTextQuietly(comment_, fixed);
}

void Favorites::DoModify_Click() {
    if (WinMan::ActionBlocked()) return;
    StoreComment();
}

void Favorites::StoreComment() {
    const int32_t line = table_ ? table_->marked() : -1;
    if (line < 0 || line >= table_->numLines()) return;
    Comment_LostFocus();
    FavoriteRules::StoreComment(*table_, line, comment_->Text());
    MarkModified();
    ShowAndMark(line);
    ShowCurrent();
}

bool Favorites::CommentChanged() const {
    const int32_t line = table_ ? table_->marked() : -1;
    if (line < 0 || line >= table_->numLines() || !comment_) return false;
    return FavoriteRules::QuotesToApostrophes(comment_->Text()) != FavoriteRules::Comment(*table_, line);
}

void Favorites::DoDelete_Click() {
    if (WinMan::ActionBlocked()) return;
    if (table_->numLines() > 0 && table_->marked() >= 0) {
        table_->DelMarked();
        MarkModified();
        ShowAndMark(table_->marked());
        ShowCurrent();
    }
    list_->setFocus();
}

void Favorites::MoveUp_Click() {
    if (WinMan::ActionBlocked()) return;
    if (table_->marked() >= 0) {
        table_->MoveMarkedUp();
        MarkModified();
        ShowAndMark(table_->marked());
    }
    list_->setFocus();
}

void Favorites::MoveDown_Click() {
    if (WinMan::ActionBlocked()) return;
    if (table_->marked() >= 0) {
        table_->MoveMarkedDown();
        MarkModified();
        ShowAndMark(table_->marked());
    }
    list_->setFocus();
}

void Favorites::List_ItemClick() {
    if (suppressEvents || WinMan::ActionBlocked()) return;
    const int32_t line = table_->SelIndex();
    if (line < 0 || line >= table_->numLines()) return;
    table_->SyncMarked();
    ShowCurrent();
}

void Favorites::ShowInfo_Click() {
    if (WinMan::ActionBlocked()) return;
    const int32_t line = table_->marked();
    if (line < 0 || line >= table_->numLines()) return;
    atom* a = table_->atom(line);
    if (a == nullptr) return;
    auto* names = dynamic_cast<AtomShower*>(Auto::GetForm(WindowNames::kSingleName));
    if (a == DataBase::nothingAtom) {
        // A name this run does not know (deleted before it started, or made
        // by another run since) is looked up by its text, as if typed: the
        // lookup shows what it finds, or says that nothing was found.
        std::string text = FavoriteRules::NameOf(*table_, line);
        Searches::LocateName(text, 1, 0, names);
        return;
    }
    WinMan::OpenForm(WindowNames::kSingleName);
    if (names) names->ShowAtom(a);
}

void Favorites::AsList_Click() {
    if (WinMan::ActionBlocked()) return;
    Searches::NewRes(LangText(" als Favoriten", " as favorites"), *table_, Searches::kAlone);
}

void Favorites::LoadFav_Click() {
    if (WinMan::ActionBlocked()) return;
    if (!GenMsg::AskMsg(GenMsg::GMoverwriteFav, "")) return;
    std::shared_ptr<ResultSet> loaded = FileOp::LoadListFile();
    if (!loaded) return;  // cancelled, or unreadable (already reported)
    if (!FavoriteRules::FitsTable(*loaded)) {
        GenMsg::ShowMsg(GenMsg::GMtooManyFav, GenMsg::kCritical, "");
        return;
    }
    table_->Reset();
    table_->AddAllFrom(*loaded);
    stored_.Replaced();
    ShowAndMark(0);
    MarkModified();
    ShowCurrent();
}

void Favorites::SaveFav_Click() {
    if (WinMan::ActionBlocked()) return;
    if (!Options::FavAutoSaveInfo) {
        GenMsg::ShowMsg(GenMsg::GMfavAutoSave, GenMsg::kInformation, "");
        Options::FavAutoSaveInfo = true;
    }
    FileOp::SaveListFile(table_.get());
}

// --- life cycle -------------------------------------------------------------------------------

bool Favorites::eventFilter(QObject* watched, QEvent* event) {
    if (watched == comment_ && event->type() == QEvent::FocusOut) Comment_LostFocus();
    return ChildForm::eventFilter(watched, event);
}

void Favorites::Form_Resize() {
    if (IsLoading() || !IsLoaded() || !table_ || !display_) return;
    LayOut();
    display_->Resize(*table_);
}

void Favorites::Form_Unload(bool&) {
    if (saveTimer_) saveTimer_->stop();
    if (isModified && table_ && !SaveTable(false))
        Errors::LogEntry("Favorites", "Unload", "the favorites could not be stored");
    if (table_) table_->Unbind();
}
