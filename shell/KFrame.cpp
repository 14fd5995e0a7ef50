#include "KFrame.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QGuiApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWindow>
#include <QPainter>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QToolBar>

#include "DataBase.h"
#include "Errors.h"
#include "FileOp.h"
#include "HelpViewer.h"
#include "LowLevel.h"
#include "MenuCode.h"
#include "Options.h"
#include "QtText.h"
#include "ResultSet.h"
#include "ShellKit.h"
#include "Searches.h"
#include "AboutFeedback.h"
#include "PanelToolBar.h"
#include "StartupModel.h"
#include "TextConstants.h"
#include "UserFile.h"
#include "WinMan.h"

namespace {

KFrame* theFrame = nullptr;

// F10 and Shift+F10 as on every desktop: F10 takes the keyboard to the
// frame's menu bar as Alt pressed alone does (and back again); Shift+F10
// opens the context menu of the control with the focus as the menu key does,
// in every window of the program.
class FrameKeys : public QObject {
public:
    explicit FrameKeys(KFrame& frame) : frame_(frame) { qApp->installEventFilter(this); }
    ~FrameKeys() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F10) return false;
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (modifiers == Qt::ShiftModifier) return OpenContextMenu();
        QMainWindow* main = frame_.MainWindow();
        if (modifiers != Qt::NoModifier || !main || static_cast<QWidget*>(watched)->window() != main) return false;
        if (!key->isAutoRepeat()) EnterMenuBar(main);
        return true;
    }

private:
    // The menu bar goes into its keyboard mode when Alt is pressed and
    // released with no other key between, and out of it again: F10 sends the
    // control with the focus what such a press and release are (the shortcut
    // check, the press, the release).
    static void EnterMenuBar(QMainWindow* main) {
        QWidget* at = QApplication::focusWidget() ? QApplication::focusWidget() : main;
        QKeyEvent check(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::AltModifier);
        QCoreApplication::sendEvent(at, &check);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
        QCoreApplication::sendEvent(at, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
        QCoreApplication::sendEvent(at, &release);
    }
    // The menu key reaches the program as a context-menu request of the
    // keyboard to the window with the focus, which passes it on to the
    // control that has it, at its cursor: the same request for Shift+F10.
    static bool OpenContextMenu() {
        QWidget* target = QApplication::activePopupWidget();
        if (!target) target = QApplication::focusWidget();
        if (!target) target = QApplication::activeWindow();
        QWindow* window = target ? target->window()->windowHandle() : nullptr;
        if (!window) return false;
        QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
        QCoreApplication::sendEvent(window, &request);
        return true;
    }

    KFrame& frame_;
};

// The frame's close request as the shutdown sequence sees it.
class FrameShutdown : public Startup::ShutdownSteps {
public:
    void Log(const std::string& m, const std::string& p, const std::string& t) override { Errors::LogEntry(m, p, t); }
    void SetAppClosing(bool closing) override { WinMan::appClosing = closing; }
    bool DatabaseLoading() override { return WinMan::databaseLoading && WinMan::databaseLoading(); }
    // finishLoad is false while the check runs and after it refused the
    // file; the check runs events only under a modal message of its own,
    // which holds the frame's close back, so here false is a refusal.
    bool DatabaseRefused() override { return WinMan::finishLoad && !WinMan::finishLoad(); }
    bool UserNamesChanged() override { return DataBase::userNamesChanged; }
    void SaveUserNames() override { DataBase::SaveUserNames(); }
    void SaveOpenWindows() override { WinMan::SaveOpenWindows(); }
    void SaveOptions() override { Options::SaveOptions(); }
};

}  // namespace

KFrame::KFrame() : FormBase("KFrame", Kind::TopLevel, kPlaced | kStored) {
    theFrame = this;
}

KFrame::~KFrame() {
    if (theFrame == this) {
        theFrame = nullptr;
        WinMan::windowsChanged = nullptr;
    }
    // The MDI area goes with the frame's widgets.
    if (FormBase::MdiArea() == area_.data()) FormBase::SetMdiArea(nullptr);
}

KFrame* KFrame::Instance() { return theFrame; }

const std::vector<KFrame::MenuItem>& KFrame::MenuItems() {
    static const std::vector<MenuItem> items = {
        {"ViewMenu", "AlphaFunc", "Names by &Alphabet...", "Alpha", "Namen &alphabetisch..."},
        {"ViewMenu", "SingleNameFunc", "&Name/Group...", "SingleName", "&Name/Gruppe..."},
        {"ViewMenu", "OrigLangFunc", "&Language...", "OrigLang", "&Sprache..."},
        {"ViewMenu", "OrigWordFunc", "&Word...", "OrigWord", "&Wort..."},
        {"ViewMenu", "RealmFunc", "&Topic...", "Realm", "&Themengebiet..."},
        {"ViewMenu", "NameDaysFunc", "&Saints and Saints' Days...", "NameDays", "&Heilige und Gedenktage..."},
        {"SearchMenu", "LexiFunc", "By &Strings and Syllables...", "Lexi", "Nach &Zeichenfolgen und Silben..."},
        {"SearchMenu", "LangFunc", "By &Language...", "Lang", "Nach &Sprache..."},
        {"SearchMenu", "FullTextFunc", "By &Fulltext Search...", "FullText", "Per &Volltextsuche..."},
        {"ListMenu", "NameListsFunc", "&Manage...", "NameLists", "&Verwalten..."},
        {"ListMenu", "ListOpFunc", "&Combine...", "ListOp", "&Kombinieren..."},
        {"ListMenu", "LoadListFunc", "&Load...", "LoadList", "&Laden..."},
        {"ListMenu", "SaveListFunc", "&Save...", "SaveList", "&Speichern..."},
        {"ListMenu", "ExportFunc", "&Export...", "Export", "&Exportieren..."},
        {"ListMenu", "StdListsFunc", "Pre&defined Lists...", "StdLists", "Vor&definierte Listen..."},
        {"ListMenu", "FavoritesFunc", "&Favorites...", "Favorites", "&Favoriten..."},
        {"DivMenu", "LetterMixFunc", "&Letter Combinations...", "LetterMix", "&Buchstabenkombinationen..."},
        {"DivMenu", "PickRandomFunc", "&Random Names...", "PickRandom", "&Zufallsnamen..."},
        {"DivMenu", "UserNamesFunc", "&New Names...", "UserNames", "&Eigene Namen..."},
        {"DivMenu", "PopFunc", "&Hitparades...", "Pop", "&Hitparaden..."},
        {"DivMenu", "OptionEntryFunc", "&Options...", "OptionEntry", "&Optionen..."},
        {"DivMenu", "QuizOptionsFunc", "Name &Quiz...", "QuizOptions", "Vornamen-&Quiz..."},
        {"WindowsMenu", "GoBackFunc", "&Previous Window", "GoBack", "&Vorheriges Fenster"},
        {"WindowsMenu", "GoForwFunc", "&Next Window", "GoForw", "&N\xe4" "chstes Fenster"},
        {"WindowsMenu", "CloseAllFunc", "&Close All Windows", "CloseAll", "Alle Fenster &schliessen"},
        // The desktop's keys for the child windows of a frame.
        {"WindowsMenu", "CloseWindowFunc", "Cl&ose Window", "CloseWindow", "&Fenster schliessen", "Ctrl+F4"},
        {"WindowsMenu", "SwitchWindowFunc", "&Switch Window", "SwitchWindow", "Fenster &wechseln",
         "Ctrl+Tab; Ctrl+F6"},
        {"WindowsMenu", "SwitchBackFunc", "Switch Window &Backward", "SwitchBack", "Fenster &r\xfc" "ckw\xe4rts wechseln",
         "Ctrl+Shift+Tab; Ctrl+Shift+F6"},
        {"HelpMenu", "HelpFunc", "&Contents...", "Help", "&Inhalt..."},
        {"HelpMenu", "ShortHelpFunc", "&Getting Started...", "ShortHelp", "&K\xfcrzestanleitung..."},
        {"HelpMenu", "TutorFunc", "&Tutorials...", "Tutor", "&Tutorials..."},
        {"HelpMenu", "FeedbackFunc", "&Feedback...", "Feedback", "&Feedback..."},
        {"HelpMenu", "AboutFunc", "&About Talvessin...", "About", "\xdc&" "ber Orsabrine..."},
    };
    return items;
}

const std::vector<KFrame::ToolButton>& KFrame::ToolButtons() {
    static const std::vector<ToolButton> buttons = {
        {"Alpha", "Show Names by Alphabet", "AlphaFunc", "Namen alphabetisch anzeigen"},
        {"", "", "", ""},
        {"SingleName", "Show Name/Group", "SingleNameFunc", "Name/Gruppe anzeigen"},
        {"OrigLang", "Show Language", "OrigLangFunc", "Sprache anzeigen"},
        {"OrigWord", "Show Word", "OrigWordFunc", "Wort anzeigen"},
        {"Realm", "Show Topic", "RealmFunc", "Themengebiet anzeigen"},
        {"NameDays", "Show Saints and Saints' Days", "NameDaysFunc", "Heilige und Gedenktage anzeigen"},
        {"", "", "", ""},
        {"Lexi", "Find by Strings and Syllables", "LexiFunc", "Nach Zeichenfolgen und Silben suchen"},
        {"Lang", "Find by Language", "LangFunc", "Nach Sprache suchen"},
        {"FullText", "Fulltext Search", "FullTextFunc", "Volltextsuche"},
        {"", "", "", ""},
        {"NameLists", "Manage Lists", "NameListsFunc", "Listen verwalten"},
        {"ListOp", "Combine Lists", "ListOpFunc", "Listen kombinieren"},
        {"Favorites", "Manage Favorites", "FavoritesFunc", "Favoriten verwalten"},
        {"", "", "", ""},
        {"LetterMix", "Letter Combinations", "LetterMixFunc", "Buchstabenkombinationen"},
        {"PickRandom", "Random Names", "PickRandomFunc", "Zufallsnamen"},
        {"UserNames", "New Names", "UserNamesFunc", "Eigene Namen"},
        {"Pop", "Hitparades", "PopFunc", "Hitparaden"},
        {"Quiz", "Name Quiz", "QuizOptionsFunc", "Vornamen-Quiz"},
        {"", "", "", ""},
        {"GoBack", "Previous Window", "GoBackFunc", "Vorheriges Fenster"},
        {"GoForw", "Next Window", "GoForwFunc", "N\xe4" "chstes Fenster"},
    };
    return buttons;
}

std::string KFrame::MenuItem::Caption() const { return TextConstants::LangText(german, caption); }

std::string KFrame::MenuItem::KeyText() const {
    const std::string_view all(keys);
    std::string first(all.substr(0, all.find(';')));
    if (TextConstants::textLanguage == 1) return first;
    // The German keyboard's names of the keys.
    for (const auto& [english, german] : {std::pair{"Ctrl", "Strg"}, std::pair{"Shift", "Umschalt"}})
        if (size_t at = first.find(english); at != std::string::npos) first.replace(at, std::strlen(english), german);
    return first;
}

std::string KFrame::ToolButton::Tip() const { return TextConstants::LangText(german, toolTip); }

// --- Window --------------------------------------------------------------------------

QMainWindow* KFrame::MakeWindow() {
    auto* main = new QMainWindow;
    area_ = new QMdiArea(main);
    area_->setObjectName(QStringLiteral("MdiArea"));
    area_->setBackground(QColor(0x80, 0x80, 0x80));
    main->setCentralWidget(area_);
    return main;
}

void KFrame::BuildAhead() {
    if (Host() || ahead_) return;
    ahead_.reset(MakeWindow());
    BuildMenus(ahead_.get());
    BuildToolbar(ahead_.get());
}

QWidget* KFrame::CreateHost() {
    // Built ahead, the window comes with its menus and toolbar.
    if (ahead_) return ahead_.release();
    QMainWindow* main = MakeWindow();
    BuildMenus(main);
    BuildToolbar(main);
    return main;
}

QMainWindow* KFrame::MainWindow() const { return qobject_cast<QMainWindow*>(Host()); }

void KFrame::BuildControls() {
    SetCaption(TextConstants::EditionText("Orsabrine", "Talvessin"));
    FormBase::SetMdiArea(area_);
    FormBase::SetDialogOwner(Host());
    keys_ = std::make_unique<FrameKeys>(*this);
    // The window commands follow the child windows: each of them needs one,
    // and an open Windows menu lists every window as it comes (the
    // getting-started window opens after the frame's first paint, when a
    // quick user may have the menu open already).
    WinMan::windowsChanged = [this] { WindowsChanged(); };
}

void KFrame::WindowsChanged() {
    UpdateCommandStates();
    QMenu* windows = Menu("WindowsMenu");
    if (windows && windows->isVisible()) {
        FillWindowList();
        if (MenuCode::MenuWindow* w = MenuCode::WindowOf(windows)) MenuCode::ConvertMenu(*w, windows, 0, false, true, false);
    }
}

void KFrame::BuildMenus(QMainWindow* main) {
    QMenuBar* bar = main->menuBar();
    // A desktop-wide menu bar would draw the menus itself and lose their look.
    bar->setNativeMenuBar(false);
    struct Menu {
        const char* control;
        const char* english;
        const char* german;
    };
    const Menu menus[] = {
        {"ViewMenu", "&Show", "&Anzeigen"},  {"SearchMenu", "&Find", "&Suchen"},
        {"ListMenu", "&Lists", "&Listen"},   {"DivMenu", "E&xtras", "E&xtras"},
        {"WindowsMenu", "&Windows", "&Fenster"}, {"HelpMenu", "&Help", "&Hilfe"},
    };
    for (const auto& [control, english, german] : menus) {
        QMenu* menu = bar->addMenu(QtText::ToQt(TextConstants::LangText(german, english)));
        menu->setObjectName(QString::fromLatin1(control));
        menus_[control] = menu;
    }
    for (const MenuItem& item : MenuItems()) {
        QMenu* menu = menus_[item.menu];
        if (std::string_view(item.control) == "CloseWindowFunc") menu->addSeparator();
        // A tab separates the caption from the keys, which the menus show
        // right-aligned.
        const std::string keys = item.KeyText();
        QAction* a = menu->addAction(QtText::ToQt(keys.empty() ? item.Caption() : item.Caption() + "\t" + keys));
        a->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(item.keys)));
        a->setObjectName(QString::fromLatin1(item.control));
        std::string control = item.control;
        connect(a, &QAction::triggered, this, [this, control] { ItemClick(control); });
        items_[item.control] = a;
    }
    // The open child windows follow the window menu's own items.
    QMenu* windows = menus_["WindowsMenu"];
    windows->addSeparator()->setObjectName(QStringLiteral("WindowListSeparator"));
    connect(windows, &QMenu::aboutToShow, this, [this] { FillWindowList(); });
}

namespace {
constexpr int kToolbarIconSide = 24;
}

void KFrame::PreparePictures() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int side = static_cast<int>(kToolbarIconSide * (screen ? screen->devicePixelRatio() : 1.0));
    for (const ToolButton& b : ToolButtons())
        if (*b.key) ProgramPicture(b.key, side);
}

void KFrame::BuildToolbar(QMainWindow* main) {
    // The style's panel, drawn in a fraction of the time (see PanelToolBar.h).
    toolbar_ = new PanelToolBar(QStringLiteral("Toolbar1"), main);
    main->addToolBar(toolbar_);
    toolbar_->setObjectName(QStringLiteral("Toolbar1"));
    toolbar_->setMovable(false);
    toolbar_->setIconSize(QSize(kToolbarIconSide, kToolbarIconSide));
    for (const ToolButton& b : ToolButtons()) {
        if (!*b.key) {
            toolbar_->addSeparator();
            continue;
        }
        const QString tip = QtText::ToQt(b.Tip());
        QAction* a = toolbar_->addAction(PictureIcon(b.key), tip);
        a->setObjectName(QString::fromLatin1(b.key));
        a->setToolTip(tip);
        std::string key = b.key;
        connect(a, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
        tools_[b.key] = a;
    }
}

void KFrame::FillWindowList() {
    QMenu* windows = menus_["WindowsMenu"];
    if (!windows || !area_) return;
    for (auto& a : windowEntries_)
        if (a) {
            windows->removeAction(a);
            delete a.data();
        }
    windowEntries_.clear();
    QMdiSubWindow* active = area_->activeSubWindow();
    int n = 0;
    for (QMdiSubWindow* sub : area_->subWindowList()) {
        if (!sub->isVisible()) continue;
        ++n;
        QString text = (n < 10 ? QStringLiteral("&%1 ").arg(n) : QStringLiteral("%1 ").arg(n)) + sub->windowTitle();
        QAction* a = windows->addAction(text);
        a->setCheckable(true);
        a->setChecked(sub == active);
        QPointer<QMdiSubWindow> target = sub;
        connect(a, &QAction::triggered, this, [target] { FormBase::ActivateChild(target); });
        windowEntries_.push_back(a);
    }
}

void KFrame::Form_Load() {
    // The menus draw the toolbar's pictures beside the items the buttons run,
    // found by the item's caption. The icons render when a menu first shows one.
    MenuCode::MenuImageList pictures;
    for (const ToolButton& b : ToolButtons()) {
        if (!*b.key) continue;
        QAction* tool = ToolAction(b.key);
        QAction* item = *b.item ? MenuAction(b.item) : nullptr;
        pictures.push_back({tool ? tool->icon() : QIcon(), item ? QtText::FromQt(item->text()) : std::string()});
    }
    MenuCode::SubclassMenus(MainWindow(), std::move(pictures));
    UpdateCommandStates();
}

void KFrame::Form_Resize() {
    if (!WinMan::tutorialRunning || !area_) return;
    for (FormBase* f : FormBase::LoadedForms())
        if (f->Name() == "Tutor") f->Resize(f->Height(), area_->viewport()->width() * 15.0);
}

void KFrame::Form_QueryUnload(UnloadMode mode, bool& cancel) {
    FrameShutdown steps;
    if (!Startup::QueryUnload(steps, static_cast<int>(mode))) {
        // The loader is still running under this close, or the database file
        // was refused: the frame stays until the load returns and start-up
        // ends the program, or until the refusal has ended it; nothing is
        // saved and no window unloads.
        cancel = true;
        if (Host()) Host()->hide();
        return;
    }
    // Every window unloads now, each storing its position; the list of open
    // windows was written before the first of them went.
    for (FormBase* f : std::vector<FormBase*>(FormBase::LoadedForms()))
        if (f != this && f->kind() == Kind::MdiChild) f->Unload(UnloadMode::AppClosing);
}

void KFrame::Form_Unload(bool& cancel) {
    if (onClosed) onClosed();
}

bool KFrame::eventFilter(QObject* watched, QEvent* event) {
    // Placed before it was shown, the frame was fitted to its screen without
    // its border and title bar. A window manager tells them only once it has
    // put them around the shown window, which then moves or changes size: the
    // frame is fitted again, once, with them.
    if (watched == Host()) {
        const QEvent::Type type = event->type();
        if (type == QEvent::Show && !std::exchange(shown_, true)) {
            WinMan::KeepOnScreen(*this);
            borderFitted_ = HasBorder();
        } else if (shown_ && !borderFitted_ && (type == QEvent::Move || type == QEvent::Resize) && HasBorder()) {
            borderFitted_ = true;
            WinMan::KeepOnScreen(*this);
        }
    }
    return FormBase::eventFilter(watched, event);
}

bool KFrame::HasBorder() const {
    const QWidget* host = Host();
    return host && host->frameGeometry().size() != host->geometry().size();
}

// --- Commands -------------------------------------------------------------------------

void KFrame::CallFunc(const std::string& name) {
    Errors::LogEntry("KFrame", "CallFunc", name);
    if (onCommand) onCommand(name);
}

void KFrame::ShowForm(const std::string& name) {
    CallFunc(name);
    if (WinMan::ActionBlocked()) return;
    // Brought forward again, a window takes the keyboard where its first
    // opening did: what the user types next goes into its first box.
    if (FormBase* form = WinMan::OpenForm(name)) form->FocusFirstInput();
}

namespace {

// The window a menu item opens by ShowForm ("" for the items with their own action).
std::string ShownWindow(const std::string& control) {
    static const char* const own[] = {"LoadListFunc", "SaveListFunc",    "OptionEntryFunc", "GoBackFunc",
                                      "GoForwFunc",   "CloseAllFunc",    "CloseWindowFunc", "SwitchWindowFunc",
                                      "SwitchBackFunc", "HelpFunc",      "TutorFunc",       "FeedbackFunc",
                                      "AboutFunc"};
    for (const char* o : own)
        if (control == o) return "";
    return control.substr(0, control.size() - 4);  // "AlphaFunc" -> "Alpha"
}

}  // namespace

void KFrame::ItemClick(const std::string& control) {
    FormBase::HandlerScope scope(this);
    if (std::string window = ShownWindow(control); !window.empty()) {
        ShowForm(window);
    } else if (control == "LoadListFunc") {
        CallFunc("LoadList");
        if (WinMan::ActionBlocked()) return;
        if (std::shared_ptr<ResultSet> list = FileOp::LoadListFile())
            Searches::NewRes(list->pureTitle(), *list, Searches::kAlone);
    } else if (control == "SaveListFunc") {
        CallFunc("SaveList");
        if (WinMan::ActionBlocked()) return;
        std::shared_ptr<ResultSet> current = Searches::GetListsCurrent();
        if (current) FileOp::SaveListFile(current.get());
    } else if (control == "OptionEntryFunc") {
        CallFunc("OptionEntry");
        if (FormBase* f = Auto::GetForm("OptionEntry")) f->ShowModal();
    } else if (control == "GoBackFunc") {
        CallFunc("GoBack");
        if (!WinMan::ActionBlocked()) WinMan::GoBack();
    } else if (control == "GoForwFunc") {
        CallFunc("GoForw");
        if (!WinMan::ActionBlocked()) WinMan::GoForward();
    } else if (control == "CloseAllFunc") {
        CallFunc("CloseAll");
        if (!WinMan::ActionBlocked()) WinMan::CloseAllWindows();
    } else if (control == "CloseWindowFunc") {
        // As the window's close box: the window's own close rules apply.
        CallFunc("CloseWindow");
        FormBase::CloseActiveChild();
    } else if (control == "SwitchWindowFunc" || control == "SwitchBackFunc") {
        // As a click on another window: never refused.
        const bool back = control == "SwitchBackFunc";
        CallFunc(back ? "SwitchBack" : "SwitchWindow");
        FormBase::SwitchChild(back);
    } else if (control == "HelpFunc") {
        CallFunc("Help");
        LowLevel::ShowHelpTopic(LowLevel::ContentsTopic());
    } else if (control == "TutorFunc") {
        CallFunc("Tutor");
        ShowForm("TutSelect");
    } else if (control == "FeedbackFunc") {
        CallFunc("Feedback");
        if (FormBase* f = Auto::GetForm("Feedback")) f->ShowModal();
    } else if (control == "AboutFunc") {
        CallFunc("About");
        if (!about_) about_ = std::make_unique<About>();
        about_->ShowModal();
    } else {
        Errors::Assert(false, "KFrame item " + control);
    }
}

void KFrame::Toolbar1_ButtonClick(const std::string& key) {
    if (key == "Quiz") {
        ShowForm("QuizOptions");
        return;
    }
    for (const ToolButton& b : ToolButtons())
        if (*b.key && key == b.key) {
            ItemClick(b.item);
            return;
        }
    Errors::Assert(false, "Toolbar");
}

QAction* KFrame::MenuAction(const std::string& control) const {
    auto it = items_.find(control);
    return it == items_.end() ? nullptr : it->second.data();
}

QAction* KFrame::ToolAction(const std::string& key) const {
    auto it = tools_.find(key);
    return it == tools_.end() ? nullptr : it->second.data();
}

QMenu* KFrame::Menu(const std::string& control) const {
    auto it = menus_.find(control);
    return it == menus_.end() ? nullptr : it->second.data();
}

bool KFrame::HasChildWindow() const {
    if (!area_) return false;
    const QList<QMdiSubWindow*> subs = area_->subWindowList();
    return std::any_of(subs.begin(), subs.end(), [](const QMdiSubWindow* sub) { return sub->isVisible(); });
}

bool KFrame::ItemAvailable(const std::string& control) const {
    // The window commands act on the child windows: with none shown there
    // is nothing to go back to, close or switch to.
    static const char* const windowCommands[] = {"GoBackFunc",      "GoForwFunc",       "CloseAllFunc",
                                                 "CloseWindowFunc", "SwitchWindowFunc", "SwitchBackFunc"};
    for (const char* c : windowCommands)
        if (control == c) return HasChildWindow();
    if (control == "LoadListFunc" || control == "SaveListFunc") return Auto::IsAvailable("NameLists");
    if (control == "TutorFunc") return Auto::IsAvailable("TutSelect");
    if (control == "AboutFunc") return true;
    std::string window = ShownWindow(control);
    if (control == "OptionEntryFunc" || control == "FeedbackFunc") window = control.substr(0, control.size() - 4);
    return window.empty() || Auto::IsAvailable(window);
}

void KFrame::UpdateCommandStates() {
    for (const MenuItem& item : MenuItems())
        if (QAction* a = MenuAction(item.control)) a->setEnabled(ItemAvailable(item.control));
    for (const ToolButton& b : ToolButtons())
        if (*b.key)
            if (QAction* a = ToolAction(b.key)) a->setEnabled(ItemAvailable(b.item));
}

void KFrame::CentreOnFrame(FormBase& form) {
    KFrame* frame = Instance();
    if (!frame || !frame->Host()) return;
    TwipsRect f = frame->Rect();
    // A child window is placed within the frame's inner area, which is its origin.
    if (form.kind() == Kind::MdiChild && frame->area_) {
        const QWidget* inner = frame->area_->viewport();
        f = TwipsRect{0, 0, inner->height() * 15.0, inner->width() * 15.0};
    }
    TwipsRect own = form.Rect();
    form.Move(f.top + (f.height - own.height) / 2, f.left + (f.width - own.width) / 2);
}
