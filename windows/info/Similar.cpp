#include "Similar.h"

#include <QApplication>
#include <QLabel>
#include <QStyle>
#include <algorithm>

#include "Atom.h"
#include "Basic.h"
#include "DataBase.h"
#include "GenDescr.h"
#include "Options.h"
#include "Parser.h"
#include "QtLowLevel.h"
#include "QtText.h"
#include "ResultSet.h"
#include "ToolTip.h"
#include "ResultViews.h"
#include "Searches.h"
#include "Services.h"
#include "TextConstants.h"
#include "WinMan.h"

using TextConstants::LangText;

namespace {
constexpr int kWidth = 560, kHeight = 322;
}  // namespace

// No close guard: the window can always be closed, and the asking window
// then gets no answer.
Similar::Similar() : ChildForm(WindowNames::kSimilar, Kind::MdiChild, kPlaced | kInHistory | kStored) {
    // A choice the user does not want to make is put away with Escape.
    SetDialogLike();
}

Similar::~Similar() {
    if (names_) names_->Unbind();
}

void Similar::BuildControls() {
    SetClientSize(kWidth, kHeight);
    SetCaption("Auswahl");
    image1_ = Add<QLabel>("Image1");
    image1_->setPixmap(QApplication::style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    image1_->setGeometry(12, 12, 36, 36);
    text_ = Add<QLabel>("Text");
    QFont bold = text_->font();
    bold.setBold(true);
    text_->setFont(bold);
    text_->setGeometry(60, 10, 488, 20);
    multiLabel_ = Add<QLabel>("MultiLabel");
    multiLabel_->setText(QtText::ToQt("kommt mehrfach vor in der Datenbank. Bitte ausw\xe4hlen:"));
    similarLabel_ = Add<QLabel>("SimilarLabel");
    similarLabel_->setText(QtText::ToQt("konnte nicht gefunden werden in der Datenbank. Es gibt aber folgende "
                                        "Eintr\xe4ge, die \xe4hnlich sind:"));
    for (QLabel* l : {multiLabel_, similarLabel_}) {
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setGeometry(60, 32, 488, 36);
    }
    namesView_ = Add<ListView>("Names");
    namesView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    namesView_->setGeometry(12, 74, 536, 204);
    asList_ = AddButton("AsList", "Als Liste", {12, 288, 96, 26});
    showHelp_ = AddHelpButton();
    showHelp_->setGeometry(452, 288, 96, 26);
    // Fixed at its designed size (after the size is set).
    SetSizable(false);
}

void Similar::Form_Load() {
    namesDisplay_ = std::make_unique<ListViewDisplay>(namesView_);
    names_ = std::make_shared<ResultSet>();
    names_->Init("", nullptr, "Alle mehrfachen bzw. \xe4hnlichen Eintr\xe4ge zur Auswahl", nullptr,
                 namesDisplay_.get());
    names_->ShowColor();
    names_->setCellFormatting(true);
    names_->DefineNCol({LangText("Eintrag", "Entry"), LangText("\xc4hnlichkeit", "Similarity"),
                        LangText("Sprache(n)", "Language(s)"), LangText("Gruppe", "Group")},
                       {3.0 / 16, 4.0 / 16, 6.0 / 16, 3.0 / 16});

    Tip(asList_, "Angezeigte Auswahl an Namen als Liste \xfc" "bergeben", "Turn the shown table of names into a list");
    Tip(showHelp_, "Hilfe zum Fenster anzeigen", "Show help for this window");
    SetEnglishTexts();

    // The pick is the click on a line (or Enter on it); the selection moving
    // under the arrow keys picks nothing.
    connect(namesView_, &QAbstractItemView::clicked, this, [this] { Run([this] { PickSelected(); }); });
    connect(namesView_, &QAbstractItemView::activated, this, [this] { Run([this] { PickSelected(); }); });
    asList_->onClick = [this] { AsList_Click(); };
    picking_ = false;
}

void Similar::SetEnglishTexts() {
    if (TextConstants::textLanguage != 1) return;
    SetCaption("Select");
    asList_->SetCaption("As List");
    multiLabel_->setText(QStringLiteral("occurs more than once in the database. Please select:"));
    similarLabel_->setText(
        QStringLiteral("could not be found in the database. However, there are the following similar entries:"));
    names_->setToolTipText("All entries of that name or similar to it, to choose from");
}

void Similar::Form_Unload(bool&) {
    if (names_) names_->Unbind();
    names_.reset();
    namesDisplay_.reset();
    caller_ = nullptr;
    callerForm_ = nullptr;
}

std::string Similar::SimilarityText(const std::string& reason) {
    switch (Basic::CLng(Basic::Val(Basic::Left(reason, 2)))) {
    case 0: return LangText("mehrfach", "multiple");
    case 1: return LangText("\xe4hnlich ausgesprochen", "similar sound");
    case 2: return LangText("\xe4hnlich geschrieben", "similar spelling" + Basic::Right(reason, 2));
    default: return std::string();
    }
}

void Similar::ShowSet(const std::string& text, AtomShower* caller, std::shared_ptr<ResultSet> set, bool several) {
    if (!IsLoaded()) {
        WinMan::OpenForm(Name());
        if (!IsLoaded()) return;
    }
    const bool words = set && set->numLines() > 0 && set->atom(0) && set->atom(0)->kind() == 7;
    multiLabel_->setVisible(several);
    similarLabel_->setVisible(!several);
    caller_ = caller;
    callerForm_ = dynamic_cast<FormBase*>(caller);
    text_->setText(QtText::ToQt(text));
    picking_ = false;

    names_->Reset();
    const std::string langColour = "<c>" + std::to_string(Options::OptColor[4]) + "</c>";
    for (int32_t i = 0; set && i < set->numLines(); ++i) {
        atom* a = set->atom(i);
        if (!a) continue;
        std::string group;
        if (!words) {
            Prop* p = a->FirstProp(DataBase::prGenName);
            atom* g = p ? p->atomVal() : nullptr;
            // A group found by its own text is its own group.
            if (!g && (a->kind() == 2 || a->kind() == 3)) g = a;
            if (g && g != DataBase::nothingAtom) group = "<a>" + std::to_string(g->id()) + "</a>" + g->Text();
        }
        const std::string line = a->Text() + "\t" + SimilarityText(set->reason(i)) + "\t" + langColour +
                                 GenDescr::GetLangList(a, false) + "\t" + group;
        names_->AddResult(line, "", a);
    }
    names_->Show();
    if (names_->numLines() > 0) namesView_->SelectTag(ReadyLine(*names_, text));
    asList_->setEnabled(!words && Auto::IsAvailable(WindowNames::kNameLists));
}

int32_t Similar::ReadyLine(const ResultSet& names, const std::string& typed) {
    // A name typed with its accent also finds the spelling without it, which
    // comes first in the table but is not what was typed; the accents count,
    // the case does not ("\xe4nne" is "\xc4nne", not "Anne"). The same
    // letters in the same case come before the same letters in another case.
    const std::string key = Parser::PlatformUpper(typed);
    int32_t sameLetters = -1;
    for (int32_t i = 0; i < names.numLines(); ++i) {
        const atom* a = names.atom(i);
        if (!a) continue;
        if (a->Text() == typed) return i;
        if (sameLetters < 0 && Parser::PlatformUpper(a->Text()) == key) sameLetters = i;
    }
    return std::max(sameLetters, 0);
}

void Similar::PickSelected() {
    Pick(names_ ? names_->SelIndex() : -1);
}

void Similar::Pick(int line) {
    if (picking_ || !names_ || line < 0 || line >= names_->numLines()) return;
    Run([&] {
        picking_ = true;
        Hide();
        Services::Events().DoEvents();
        atom* a = names_ ? names_->atom(line) : nullptr;
        AtomShower* caller = caller_;
        // The asking window may have been closed meanwhile: it is opened
        // again to receive the pick.
        if (callerForm_ && !callerForm_->IsLoaded()) WinMan::OpenForm(callerForm_->Name());
        if (a && caller && (!callerForm_ || callerForm_->IsLoaded())) caller->ShowAtom(a);
        Unload(UnloadMode::Code);
    });
}

void Similar::AsList_Click() {
    if (!names_) return;
    Run([&] {
        Hide();
        Services::Events().DoEvents();
        Searches::NewRes(LangText(" zur Auswahl", " to select from"), *names_, 0);
        Unload(UnloadMode::Code);
    });
}
