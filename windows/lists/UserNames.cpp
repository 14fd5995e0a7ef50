#include "UserNames.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QTimer>

#include "Atom.h"
#include "AutoSave.h"
#include "CountText.h"
#include "DataBase.h"
#include "GenMsg.h"
#include "LangCombo.h"
#include "NewNames.h"
#include "Parser.h"
#include "QtLowLevel.h"
#include "QtText.h"
#include "ResultSet.h"
#include "ResultViews.h"
#include "TextConstants.h"
#include "UserFile.h"
#include "WinMan.h"

using TextConstants::LangText;
using Entry = NewNames::Entry;

namespace {
constexpr int kWidth = 640, kHeight = 418;
constexpr int kSaveIntervalMs = 60000;
}  // namespace

UserNames::UserNames() : ChildForm("UserNames", Kind::MdiChild, kPlaced | kInHistory | kStored) {}

UserNames::~UserNames() {
    if (table_) table_->Unbind();
}

// --- Layout --------------------------------------------------------------------------

void UserNames::BuildControls() {
    SetClientSize(kWidth, kHeight);
    SetCaption("Eigene Namen");

    auto text = [this](const char* name, int index, QGroupBox* parent, QRect r, int maxLength) {
        auto* t = Add<TextBox>(name, index, parent);
        t->setGeometry(r);
        t->setMaxLength(maxLength);
        t->installEventFilter(this);
        return t;
    };
    const int right = 232, rw = kWidth - right - 8;  // the right column
    namesFrame_ = AddFrame("NamesFrame", "Namen", {8, 4, 216, kHeight - 12});
    names_ = Add<ListView>("Names", -1, namesFrame_);
    names_->setGeometry(8, 20, 200, kHeight - 40);

    frame1_ = AddFrame("Frame1", "Name", {right, 4, rw, 54});
    curName_ = text("CurName", -1, frame1_, {10, 22, rw - 20, 24}, static_cast<int>(NewNames::kMaxName));
    genderFrame_ = AddFrame("GenderFrame", "Geschlecht", {right, 62, rw, 54});
    auto* picture = new QWidget(genderFrame_);
    Register(picture, "Picture1");
    picture->setGeometry(10, 20, rw - 20, 28);
    male_ = Add<OptionButton>("Male", -1, picture);
    male_->SetCaption("m\xe4nnlich");
    male_->setGeometry(0, 2, 150, 24);
    female_ = Add<OptionButton>("Female", -1, picture);
    female_->SetCaption("weiblich");
    female_->setGeometry(160, 2, 150, 24);
    origLangFrame_ = AddFrame("OrigLangFrame", "Sprache der Herkunft", {right, 120, rw, 54});
    origLang_ = Add<ComboBox>("OrigLang", -1, origLangFrame_);
    origLang_->setGeometry(10, 22, rw - 20, 24);
    germanFrame_ = AddFrame("GermanFrame", "Bedeutung/\xdc" "bersetzung", {right, 178, rw, 54});
    german_ = text("German", -1, germanFrame_, {10, 22, rw - 20, 24}, static_cast<int>(NewNames::kMaxInfo));
    origInfoFrame_ = AddFrame("OrigInfoFrame", "Angaben zur Herkunft", {right, 236, rw, 82});
    for (int i = 0; i < 2; ++i)
        origInfo_[i] = text("OrigInfo", i, origInfoFrame_, {10, 22 + 28 * i, rw - 20, 24},
                            static_cast<int>(NewNames::kMaxInfo));
    useLangFrame_ = AddFrame("UseLangFrame", "Sprachen des Gebrauchs", {right, 322, rw, 54});
    for (int i = 0; i < 3; ++i) {
        useLang_[i] = Add<ComboBox>("UseLang", i, useLangFrame_);
        const int w = (rw - 40) / 3;
        useLang_[i]->setGeometry(10 + i * (w + 10), 22, w, 24);
    }
    auto button = [this](const char* name, const char* caption, int col) {
        return AddButton(name, caption, {right + col * 99, kHeight - 36, 92, 28});
    };
    doCreate_ = button("DoCreate", "Erzeugen", 0);
    // Enter creates the name typed, while it can be created.
    doCreate_->setDefault(true);
    doModify_ = button("DoModify", "\xc4ndern", 1);
    doDelete_ = button("DoDelete", "L\xf6schen", 2);
    showHelp_ = AddHelpButton();
    showHelp_->setGeometry(right + 3 * 99, kHeight - 36, 92, 28);
    saveTimer_ = new QTimer(Client());
    saveTimer_->setObjectName(QStringLiteral("SaveTimer"));
    connect(saveTimer_, &QTimer::timeout, this, [this] { Run([this] { SaveTimer_Timer(); }); });
    SetSizable(false);
    // What is typed first is a name: the list beside it is empty at first.
    SetFirstInput(curName_);
}

// --- Load and unload -------------------------------------------------------------------

void UserNames::Form_Load() {
    lastAskedKey_.clear();
    checking_ = false;
    display_ = std::make_unique<ListViewDisplay>(names_);
    table_ = std::make_shared<ResultSet>();
    table_->Init("", nullptr, "", nullptr, display_.get());
    table_->DefineOneCol("Name");
    table_->ShowColor();

    {
        Suppress quiet(*this);
        // The separator stays unchosen: it would stand for the table's first language.
        LangCombo::Fill(origLang_, true, true, false);
        origLang_->SetListIndex(0);
        for (auto& box : useLang_) {
            LangCombo::Fill(box, false, true, false);
            box->SetListIndex(0);
        }
    }
    for (ComboBox* box : {origLang_.data(), useLang_[0].data(), useLang_[1].data(), useLang_[2].data()})
        box->onDropDown = [box] { LowLevel::SetComboDropHeight(box); };

    curName_->onChange = [this] { UpdateButtons(); };
    doCreate_->onClick = Guarded([this] { DoCreate_Click(); });
    doModify_->onClick = Guarded([this] { DoModify_Click(); });
    doDelete_->onClick = Guarded([this] { DoDelete_Click(); });
    names_->onClick = Guarded([this] { Names_Click(); });
    UpdateButtons();
    // The names in the order they were made, as the file keeps them; the
    // frame keeps its caption until the first change sorts and counts them.
    table_->Reset();
    for (atom* name : NewNames::All()) table_->AddResult(name->Text(), "", name);
    table_->Show();

    Tip(names_, "Liste aller erfassten eigenen Namen", "List of all new names you have entered");
    Tip(curName_, "Eingabe eines Namens, um ihn erzeugen/\xe4ndern/l\xf6schen zu k\xf6nnen",
        "Input a name for creating, modifying or deleting it");
    Tip(genderFrame_, "Angabe des Geschlechts", "Specify the gender");
    Tip(origLang_, "Auswahl der Sprache der Herkunft (soweit bekannt/gew\xfcnscht)",
        "Choose the language of origin (if known; optional)");
    Tip(german_, "Eingabe der deutschen Bedeutung bzw. \xdc" "bersetzung (sofern vorhanden/bekannt)",
        "Enter the English meaning/translation (if known; optional)");
    for (auto& box : origInfo_)
        Tip(box, "Eingabe beliebiger Informationen \xfc" "ber den Namen", "Enter any information about the name");
    for (auto& box : useLang_)
        Tip(box, "Auswahl von bis zu 3 Sprachen des Gebrauchs (sofern bekannt/vorhanden)",
            "Choose up to 3 languages of use (if known; all optional)");
    Tip(doCreate_, "Neuen Namen erzeugen", "Create the new name");
    Tip(doModify_, "Namen bzw. seine Angaben \xe4ndern", "Modify the name");
    Tip(doDelete_, "Namen l\xf6schen", "Delete the name");
    Tip(showHelp_, "Hilfe zum Fenster anzeigen", "Show help for this window");

    lastChangeTime_ = Services::TheClock().Now();
    saveTimer_->setInterval(kSaveIntervalMs);
    saveTimer_->start();
    SetEnglishTexts();
}

void UserNames::SetEnglishTexts() {
    if (TextConstants::textLanguage != 1) return;
    SetCaption("New Names");
    namesFrame_->setTitle(QStringLiteral("Names"));
    genderFrame_->setTitle(QStringLiteral("Gender"));
    male_->SetCaption("Male");
    female_->SetCaption("Female");
    origLangFrame_->setTitle(QStringLiteral("Language of origin"));
    germanFrame_->setTitle(QStringLiteral("Meaning/translation"));
    origInfoFrame_->setTitle(QStringLiteral("Info about origin"));
    useLangFrame_->setTitle(QStringLiteral("Languages of use"));
    doCreate_->SetCaption("Create");
    doModify_->SetCaption("Modify");
    doDelete_->SetCaption("Delete");
}

void UserNames::Form_Unload(bool&) {
    if (saveTimer_) saveTimer_->stop();
    if (DataBase::userNamesChanged) DataBase::SaveUserNames();
}

// --- The table and the fields ------------------------------------------------------------

void UserNames::RefreshList() {
    table_->Reset();
    for (atom* name : NewNames::All()) table_->AddResult(name->Text(), LangText("Zusatz", "New name"), name);
    table_->Sort(1);
    table_->Show();
    namesFrame_->setTitle(QtText::ToQt(CountText::ResultSizeText(*table_)));
}

void UserNames::ClearFields() {
    Suppress quiet(*this);
    curName_->SetText("");
    german_->SetText("");
    for (auto& box : origInfo_) box->SetText("");
    origLang_->SetListIndex(0);
    for (auto& box : useLang_) box->SetListIndex(0);
}

void UserNames::UpdateButtons() {
    const std::string text = curName_ ? curName_->Text() : std::string();
    const bool exists = NewNames::Find(text) != nullptr;
    doCreate_->setEnabled(NewNames::CanCreate(text));
    doModify_->setEnabled(exists);
    doDelete_->setEnabled(exists);
}

void UserNames::ReplaceQuotes(TextBox* box) {
    std::string text = box->Text();
    if (text.find('"') == std::string::npos) return;
    Parser::ReplaceAll(text, "\"", "'");
    const int cursor = box->cursorPosition();
    box->SetText(text);
    box->setCursorPosition(cursor);
}

void UserNames::SetComboLang(ComboBox* box, atom* lang) {
    Suppress quiet(*this);
    int index = 0;
    for (int i = 1; lang && i < box->ListCount(); ++i) {
        const int data = LangCombo::ItemData(box, i);
        if (data >= 0 && DataBase::GetComboLang(data) == lang) {
            index = i;
            break;
        }
    }
    box->SetListIndex(index);
}

Entry UserNames::Fields() const {
    Entry e;
    e.text = curName_->Text();
    e.gender = male_->Value() ? Entry::Gender::Male : female_->Value() ? Entry::Gender::Female : Entry::Gender::None;
    e.origLang = LangCombo::SelectedLang(origLang_);
    e.german = german_->Text();
    for (int i = 0; i < 2; ++i) e.origInfo[i] = origInfo_[i]->Text();
    for (int i = 0; i < 3; ++i) e.useLangs[i] = LangCombo::SelectedLang(useLang_[i]);
    return e;
}

void UserNames::ShowUserName(atom* name) {
    if (!name) return;
    const Entry e = NewNames::Read(name);
    {
        Suppress quiet(*this);
        curName_->SetText(e.text);
        (e.gender == Entry::Gender::Male ? male_ : female_)->SetValue(true);
        german_->SetText(e.german);
        for (int i = 0; i < 2; ++i) origInfo_[i]->SetText(e.origInfo[i]);
    }
    SetComboLang(origLang_, e.origLang);
    for (int i = 0; i < 3; ++i) SetComboLang(useLang_[i], e.useLangs[i]);
    lastAskedKey_ = Parser::MakeUpperKey(e.text);  // its own name is no reason to ask
    UpdateButtons();
}

// --- Handlers ------------------------------------------------------------------------------

void UserNames::Changed() {
    RefreshList();
    ClearFields();
    UpdateButtons();
    WinMan::NotifyAll(4, "");
    lastChangeTime_ = Services::TheClock().Now();
}

void UserNames::DoCreate_Click() {
    // Pressed by Enter, the focus is still in a box: what leaving it does
    // comes first, and a No to making a name the database has stops here.
    if (!LeaveBox(QApplication::focusWidget())) return;
    // The buttons follow every keystroke, but a handler checks again.
    switch (NewNames::Create(Fields())) {
    case NewNames::Result::Done: Changed(); break;
    case NewNames::Result::NoRoom: GenMsg::ShowMsg(GenMsg::GMuserNoRoom, GenMsg::kExclamation, ""); break;
    default: UpdateButtons(); break;
    }
}

void UserNames::DoModify_Click() {
    switch (NewNames::Modify(Fields())) {
    case NewNames::Result::Done: Changed(); break;
    case NewNames::Result::NoRoom: GenMsg::ShowMsg(GenMsg::GMuserNoRoom, GenMsg::kExclamation, ""); break;
    default: UpdateButtons(); break;
    }
}

void UserNames::DoDelete_Click() {
    if (NewNames::Delete(curName_->Text()) == NewNames::Result::Done)
        Changed();
    else
        UpdateButtons();
}

void UserNames::Names_Click() {
    const int32_t line = table_->SelIndex();
    if (line >= 0 && line < table_->numLines()) ShowUserName(table_->atom(line));
}

bool UserNames::CurName_LostFocus() {
    ReplaceQuotes(curName_);
    UpdateButtons();
    const std::string text = curName_->Text();
    if (!doCreate_->isEnabled()) return true;
    const std::string key = Parser::MakeUpperKey(NewNames::Clean(text));
    if (key == lastAskedKey_) return true;
    if (!NewNames::SameSpelling(text)) return true;
    lastAskedKey_ = key;
    checking_ = true;
    const bool yes = GenMsg::AskMsg(GenMsg::GMuserAlready, NewNames::Clean(text));
    checking_ = false;
    if (!yes) curName_->setFocus();
    return yes;
}

bool UserNames::LeaveBox(QObject* box) {
    if (!box) return true;
    if (box == curName_) return CurName_LostFocus();
    if (box == german_) ReplaceQuotes(german_);
    for (auto& info : origInfo_)
        if (box == info) ReplaceQuotes(info);
    return true;
}

void UserNames::SaveTimer_Timer() {
    if (!DataBase::userNamesChanged) return;
    if (AutoSave::MinuteSaveDue(Services::TheClock().Now().minute, lastChangeTime_.minute)) DataBase::SaveUserNames();
}

bool UserNames::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !checking_) {
        // Leaving the box, not the window: a message box or another program
        // taking the focus is no leave.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            Run([this, watched] { LeaveBox(watched); });
    }
    return ChildForm::eventFilter(watched, event);
}
