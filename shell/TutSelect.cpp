#include "TutSelect.h"

#include <QFontMetrics>
#include <QIcon>
#include <QListWidget>
#include <QMessageBox>
#include <algorithm>

#include "Auto.h"
#include "Examples.h"
#include "KFrame.h"
#include "QtLowLevel.h"
#include "QtText.h"
#include "ShellKit.h"
#include "TextConstants.h"
#include "Tutor.h"
#include "WinMan.h"

using TextConstants::LangText;

const std::vector<TutSelect::Entry>& TutSelect::Entries() {
    static const std::vector<Entry> entries = {
        {"One", "Einf\xfchrung", "Introduction", "TutIntro.txt"},
        {"Two", "Namen und Gruppen", "Names and Groups", "TutGroups.txt"},
        {"Three", "Suche nach dem Wunschnamen", "Finding the Perfect Name", "TutNaming.txt"},
        {"Four", "Fortgeschrittenes Suchen", "Advanced Searching", "TutSearch.txt"},
    };
    return entries;
}

// The list's pictures live in the ui library's resources, which a static
// library must bring in by name.
static void InitTutorialPictures() { Q_INIT_RESOURCE(Tutorials); }

TutSelect::TutSelect() : FormBase("TutSelect") {
    InitTutorialPictures();
    SetSizable(false);
}

TutSelect::~TutSelect() {
    // The tutorial window goes first: it may still be shown in the frame.
    tutor_.reset();
}

Tutor& TutSelect::TutorWindow() {
    if (!tutor_) tutor_ = std::make_unique<Tutor>();
    return *tutor_;
}

int TutSelect::CellWidth(const QFont& font) {
    const QFontMetrics metrics(font);
    int widest = 0;
    for (const Entry& e : Entries())
        for (const QString& word : QtText::ToQt(LangText(e.german, e.english)).split(u' '))
            widest = std::max(widest, metrics.horizontalAdvance(word));
    // A word wider than its cell would be cut short ("Fortgeschrittenes").
    return std::max(kCell, widest + 16);
}

void TutSelect::BuildControls() {
    list_ = new QListWidget(Client());
    Register(list_, "Tutorials");
    cell_ = CellWidth(list_->font());
    const int rowWidth = static_cast<int>(Entries().size()) * cell_;
    const int width = rowWidth + 72;
    FitClient(*this, width, 164);
    SetCaption("Tutorials");
    // A choice the user does not want to make is put away with Escape.
    SetDialogLike();
    // Room for a row of cells 100 pixels high, whose captions take up to
    // three lines.
    list_->setGeometry(8, 8, rowWidth + 56, 110);
    list_->setViewMode(QListView::IconMode);
    list_->setIconSize(QSize(48, 48));
    list_->setMovement(QListView::Static);
    list_->setResizeMode(QListView::Adjust);
    list_->setWordWrap(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    select_ = Add<CommandButton>("DoSelect");
    select_->SetCaption("Ausf\xfchren");
    select_->setGeometry(8, 128, 96, 28);
    select_->setDefault(true);
    help_ = Add<CommandButton>("ShowHelp");
    help_->SetCaption("Hilfe");
    help_->setGeometry(width - 104, 128, 96, 28);

    select_->onClick = [this] { DoSelect_Click(); };
    help_->onClick = [this] { LowLevel::ShowFormHelp(Client(), nullptr); };
    // A double click, or Enter, on a tutorial starts it.
    connect(list_, &QListWidget::itemActivated, this, [this] { Run([this] { DoSelect_Click(); }); });
}

void TutSelect::Form_Load() {
    list_->clear();
    for (const Entry& e : Entries()) {
        auto* item = new QListWidgetItem(QIcon(QStringLiteral(":/tutorials/%1.svg").arg(QLatin1String(e.key))),
                                         QtText::ToQt(LangText(e.german, e.english)));
        item->setData(Qt::UserRole, QString::fromLatin1(e.key));
        item->setToolTip(item->text());  // a long title is cut short under its icon
        list_->addItem(item);
    }
    // The first tutorial stands chosen, so Start runs it without a click first.
    list_->setCurrentRow(0);
    LowLevel::SetIconSpacing(list_, cell_, kCell);
    if (TextConstants::textLanguage == 0) {
        WinMan::AddToolTip(*this, list_, "Liste der vorhandenen Tutorials");
        WinMan::AddToolTip(*this, select_, "Gew\xe4hltes Tutorial starten");
        WinMan::AddToolTip(*this, help_, "Hilfe zum Fenster anzeigen");
    }
    SetEnglishTexts();
}

void TutSelect::SetEnglishTexts() {
    if (TextConstants::textLanguage != 1) return;
    SetCaption("Tutorials");
    select_->SetCaption("Start");
    help_->SetCaption("Help");
    WinMan::AddToolTip(*this, list_, "List of the available tutorials");
    WinMan::AddToolTip(*this, select_, "Start the selected tutorial");
    WinMan::AddToolTip(*this, help_, "Show help for this window");
}

void TutSelect::DoSelect_Click() {
    if (WinMan::ActionBlocked()) return;
    const int row = list_ ? list_->currentRow() : -1;
    if (row < 0 || row >= static_cast<int>(Entries().size())) return;
    if (!list_->currentItem() || !list_->currentItem()->isSelected()) return;
    const std::string file = Entries()[static_cast<std::size_t>(row)].file;
    Tutor& tutor = TutorWindow();
    tutor.Show();
    // This window closes with every other one; its unload waits for the end
    // of this handler.
    tutor.LoadTutorial(file);
}

namespace Tutorials {

void Register() {
    Auto::Register("TutSelect", [] { return std::make_unique<TutSelect>(); });
    WinMan::clearMark = [] { Auto::ClearMark(); };
    Examples::replayLine = [](const std::string& line) { return Auto::RunLine(line); };
    Examples::showText = [](const std::string& text) {
        std::string plain = text;
        for (std::size_t p; (p = plain.find("\r\n")) != std::string::npos;) plain.erase(p, 1);
        KFrame* frame = KFrame::Instance();
        QMessageBox box(QMessageBox::NoIcon, QtText::ToQt(TextConstants::EditionText("Orsabrine", "Talvessin")),
                        QtText::ToQt(plain), QMessageBox::Ok,
                        frame ? frame->Host() : nullptr);
        box.exec();
    };
    Examples::showExample = [](const std::string& window) { Examples::PlayExample(window); };
}

}  // namespace Tutorials
