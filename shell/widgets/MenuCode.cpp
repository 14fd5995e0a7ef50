#include "MenuCode.h"

#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "Errors.h"
#include "MenuStyle.h"
#include "Parser.h"
#include "QtText.h"

namespace MenuCode {

namespace {

// An action converted to the program's drawing carries this property.
constexpr const char* kOwnerDrawProperty = "menuOwnerDraw";
// A system menu's command id, where an action stands in for one.
constexpr const char* kCommandIdProperty = "menuCommandId";

struct State {
    std::map<const QMainWindow*, std::unique_ptr<MenuWindow>> windows;
    std::map<const QMainWindow*, QMetaObject::Connection> gone;
    MenuItems items;
    bool errorLogged = false;
};

State& S() {
    static State s;
    return s;
}

bool IsNumberedPrefix(const std::string& s) {
    return s.size() >= 3 && s[0] == '&' && s[1] >= '1' && s[1] <= '9' && s[2] == ' ';
}

// The part of a marker that stays in the text: "!" or "&1 ".
size_t KeptPrefix(const std::string& text) {
    if (IsNumberedPrefix(text)) return 3;
    if (!text.empty() && text[0] == '!') return 1;
    return 0;
}

// Types a character into an open menu as the access key of its items.
class MenuCharFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* menu = qobject_cast<QMenu*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        if (!menu || (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) return false;
        const QString text = key->text();
        if (text.size() != 1 || !text[0].isPrint()) return false;
        const std::string typed = QtText::FromQt(text, '\0');
        if (typed.size() != 1 || typed[0] == '\0') return false;

        std::vector<MenuCharEntry> entries;
        const QList<QAction*> actions = menu->actions();
        for (QAction* a : actions) {
            MenuCharEntry e;
            const MenuItem* item = ItemOf(a);
            e.ownerDrawn = item != nullptr && a->isVisible();
            if (item) e.text = item->sMenuText;
            e.highlighted = menu->activeAction() == a;
            entries.push_back(std::move(e));
        }
        MenuCharResult r = OnMenuChar(typed[0], entries);
        if (r.action == MenuCharResult::kNone) return false;
        QAction* target = actions.at(r.position);
        menu->setActiveAction(target);
        if (r.action == MenuCharResult::kExecute) {
            // The menu runs its active item as on Enter: it closes first.
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(menu, &enter);
        }
        return true;
    }
};

void ApplyCaption(QAction* a, const std::string& caption) {
    const bool separator = !caption.empty() && caption[0] == '-';
    const QString text = QtText::ToQt(separator ? caption.substr(1) : caption);
    if (a->isSeparator() != separator) a->setSeparator(separator);
    if (a->text() != text) a->setText(text);
}

}  // namespace

// --- Records ---------------------------------------------------------------------------

MenuItem* MenuItems::Add(const std::string& key) {
    auto& slot = items_[key];
    slot = std::make_unique<MenuItem>();
    return slot.get();
}

MenuItem* MenuItems::Item(const std::string& key) const {
    auto it = items_.find(key);
    return it == items_.end() ? nullptr : it->second.get();
}

void MenuItems::Remove(const std::string& key) { items_.erase(key); }

MenuItems& Items() { return S().items; }

// --- MenuWindow --------------------------------------------------------------------------

MenuWindow::MenuWindow(QMainWindow* window) : window_(window) {}

MenuWindow::~MenuWindow() = default;

void MenuWindow::AddMenuHead(QMenu* menu) {
    for (const auto& h : heads_)
        if (h == menu) return;
    heads_.emplace_back(menu);
}

QMenu* MenuWindow::GetMenuHead(int i) const {
    if (i < 0 || i >= static_cast<int>(heads_.size())) return nullptr;
    return heads_[i];
}

void MenuWindow::SetFontSize(int points) {
    fontSize_ = points;
    menuFont_.reset();
}

void MenuWindow::SetFontName(const std::string& name) {
    fontName_ = name;
    menuFont_.reset();
}

void MenuWindow::SetMainPopedIndex(const std::string& text) {
    try {
        MainPopedIndex = std::stoi(text);
    } catch (...) {
        MainPopedIndex = 0;
    }
}

const QFont& MenuWindow::MenuFont() {
    if (!menuFont_) {
        QFont f = window_ ? window_->font() : QApplication::font();
        if (!fontName_.empty() && fontName_ != "MS Sans Serif") f.setFamily(QtText::ToQt(fontName_));
        else if (fontName_.empty()) fontName_ = QtText::FromQt(f.family());
        else f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        f.setStyleHint(QFont::SansSerif);
        f.setWeight(QFont::Normal);
        f.setPointSize(std::clamp(fontSize_, 1, 200));
        menuFont_ = std::make_unique<QFont>(f);
    }
    return *menuFont_;
}

const QFont& MenuWindow::MenuFontSep() {
    if (!sepFont_) {
        QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        f.setStyleHint(QFont::SansSerif);
        f.setWeight(QFont::Normal);
        f.setPixelSize(11);
        sepFont_ = std::make_unique<QFont>(f);
    }
    return *sepFont_;
}

bool MenuWindow::IsConverted(const QWidget* menu) const {
    if (window_ && menu == window_->menuBar()) return SCMainMenu == -1;
    return converted_.count(menu) > 0;
}

// --- Captions ------------------------------------------------------------------------------

MenuItem ParseCaption(const std::string& caption) {
    MenuItem item;
    item.fType = kOwnerDraw;
    std::string rest = caption;
    std::string kept;
    if (!rest.empty() && rest[0] == '-') {
        item.fType |= kSeparator;
        rest.erase(0, 1);
    } else if (!rest.empty() && (rest[0] == '#' || rest[0] == '*')) {
        item.bAsMark = item.bAsCheck = true;
        rest.erase(0, 1);
    } else if (IsNumberedPrefix(rest)) {
        item.bAsMark = item.bAsCheck = true;
        kept = rest.substr(0, 3);
        rest.erase(0, 3);
    } else if (!rest.empty() && rest[0] == '!') {
        kept = "!";
        rest.erase(0, 1);
    }
    // "|help|text": what stood before the first bar goes, but a hidden or
    // numbered item keeps its prefix. A single bar is plain text.
    if (size_t p1 = rest.find('|'); p1 != std::string::npos)
        if (size_t p2 = rest.find('|', p1 + 1); p2 != std::string::npos) {
            item.sMenuHelp = rest.substr(p1 + 1, p2 - p1 - 1);
            rest.erase(0, p2 + 1);
        }
    item.sMenuText = kept + rest;
    return item;
}

std::string RebuildCaption(const MenuItem& item) {
    std::string marker;
    // A numbered entry is a check item by its prefix already.
    if (item.bAsMark && item.bAsCheck && !IsNumberedPrefix(item.sMenuText)) marker = "#";
    else if (item.bAsMark && !item.bAsCheck) marker = "*";
    if (item.fType & kSeparator) marker += "-";
    if (item.sMenuHelp.empty()) return marker + item.sMenuText;
    const size_t kept = KeptPrefix(item.sMenuText);
    return marker + item.sMenuText.substr(0, kept) + "|" + item.sMenuHelp + "|" + item.sMenuText.substr(kept);
}

int PictureIndex(const MenuImageList& images, const std::string& text, bool onBar) {
    if (onBar) return -1;
    const std::string key = Parser::PlatformUpper(text);
    for (size_t i = 0; i < images.size(); ++i)
        if (!images[i].tag.empty() && Parser::PlatformUpper(images[i].tag) == key) return static_cast<int>(i);
    return -1;
}

bool ConvertsItem(bool isSystemMenu, int32_t commandId) { return !isSystemMenu || commandId < -4096; }

MenuCharResult OnMenuChar(char typed, const std::vector<MenuCharEntry>& items) {
    const int want = Parser::PlatformUpperTable()[static_cast<unsigned char>(typed)];
    MenuCharResult r;
    int first = -1, count = 0, highlighted = -1;
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuCharEntry& e = items[i];
        if (!e.ownerDrawn) continue;
        size_t amp = e.text.find('&');
        if (amp == std::string::npos || amp + 1 >= e.text.size()) continue;
        if (Parser::PlatformUpperTable()[static_cast<unsigned char>(e.text[amp + 1])] != want) continue;
        ++count;
        if (first < 0) first = static_cast<int>(i);
        if (e.highlighted) highlighted = static_cast<int>(i);
    }
    if (count == 1) {
        r.action = MenuCharResult::kExecute;
        r.position = first;
    } else if (count > 1) {
        r.action = MenuCharResult::kSelect;
        r.position = highlighted >= 0 ? highlighted : first;
    }
    return r;
}

// --- Actions ---------------------------------------------------------------------------------

std::string CaptionOf(const QAction* a) {
    std::string text = QtText::FromQt(a->text());
    return a->isSeparator() ? "-" + text : text;
}

MenuItem* ItemOf(const QAction* a) {
    if (!a || !a->property(kOwnerDrawProperty).toBool()) return nullptr;
    bool ok = false;
    int ticket = a->data().toInt(&ok);
    return ok ? S().items.Item(std::to_string(ticket)) : nullptr;
}

MenuWindow* WindowOf(const QWidget* menuOrBar) {
    for (auto& [window, mw] : S().windows) {
        if (!window) continue;
        if (window->menuBar() == menuOrBar) return mw.get();
        for (QAction* a : window->menuBar()->actions())
            if (a->menu() == menuOrBar) return mw.get();
        for (const auto& h : mw->heads_)
            if (h == menuOrBar) return mw.get();
    }
    return nullptr;
}

void LogMissingRecord(const std::string& caption) {
    if (S().errorLogged) return;
    S().errorLogged = true;
    Errors::LogEntry("MenuCode", "WindowProc", "no record for the item " + caption);
}

void ConvertMenu(MenuWindow& window, QWidget* menu, int index, bool isSystemMenu, bool convert, bool isMainMenu) {
    if (!menu) return;
    auto* popup = qobject_cast<QMenu*>(menu);
    const QList<QAction*> actions = menu->actions();
    for (QAction* a : actions) {
        if (!ConvertsItem(isSystemMenu, a->property(kCommandIdProperty).toInt())) continue;
        const bool ownerDrawn = a->property(kOwnerDrawProperty).toBool();
        if (convert) {
            MenuItem* item = nullptr;
            if (!ownerDrawn) {
                bool ok = false;
                int ticket = a->data().toInt(&ok);
                if (ok) item = S().items.Item(std::to_string(ticket));
                if (!item) {
                    ticket = S().items.NewTicket();
                    item = S().items.Add(std::to_string(ticket));
                    *item = ParseCaption(CaptionOf(a));
                    item->iButton = PictureIndex(window.ilHandle, item->sMenuText, isMainMenu);
                    item->bTrueSub = a->menu() != nullptr && !isMainMenu;
                    a->setData(ticket);
                }
                a->setProperty(kOwnerDrawProperty, true);
                ApplyCaption(a, ((item->fType & kSeparator) ? "-" : "") + item->sMenuText);
            } else {
                item = ItemOf(a);
            }
            if (item) item->bMainMenu = isMainMenu;
            if (popup && !isMainMenu) window.AddMenuHead(popup);
        } else if (ownerDrawn) {
            a->setProperty(kOwnerDrawProperty, false);
            bool ok = false;
            const int ticket = a->data().toInt(&ok);
            const std::string key = std::to_string(ticket);
            if (MenuItem* item = ok ? S().items.Item(key) : nullptr) {
                ApplyCaption(a, RebuildCaption(*item));
                S().items.Remove(key);
            }
            if (ok) a->setData(QVariant());
        }
    }
    if (convert) window.converted_.insert(menu);
    else window.converted_.erase(menu);
}

// --- Subclassing -------------------------------------------------------------------------------

namespace {

void OnInitMenuPopup(MenuWindow& w, QMenu* menu) {
    w.MainPopedIndex = -2;
    ConvertMenu(w, menu, 0, false, true, false);
}

// The menu closed: every drop-down converted while it was open goes back.
void OnMenuClosed(MenuWindow& w) {
    for (int i = 0; i <= w.CountMenuHeads(); ++i)
        if (QMenu* head = w.GetMenuHead(i)) ConvertMenu(w, head, i, false, false, false);
    w.SetMainPopedIndex("-1");
}

}  // namespace

namespace {

MenuWindow* Find(const QMainWindow* window) {
    auto it = S().windows.find(window);
    return it == S().windows.end() ? nullptr : it->second.get();
}

}  // namespace

bool SubclassMenus(QMainWindow* window, MenuImageList images) {
    State& s = S();
    s.errorLogged = false;
    if (!window) return true;
    auto& slot = s.windows[window];
    if (!slot) {
        slot = std::make_unique<MenuWindow>(window);
        // A window that goes takes its record along.
        s.gone[window] = QObject::connect(window, &QObject::destroyed, [window] {
            S().windows.erase(window);
            S().gone.erase(window);
        });
    }
    MenuWindow& w = *slot;
    w.SelectColor = window->palette().color(QPalette::Highlight);
    w.ilHandle = std::move(images);
    if (!w.style_) {
        w.style_ = new MenuStyle(&w);
        w.style_->setParent(window);
        auto* filter = new MenuCharFilter(w.style_);
        QMenuBar* bar = window->menuBar();
        bar->setStyle(w.style_);
        for (QAction* a : bar->actions()) {
            // The bar stays converted: a caption set later (another text
            // language) renews its record.
            QObject::connect(a, &QAction::changed, w.style_, [a] {
                MenuItem* item = ItemOf(a);
                if (!item || QtText::FromQt(a->text()) == item->sMenuText) return;
                const bool onBar = item->bMainMenu;
                const int picture = item->iButton;
                *item = ParseCaption(CaptionOf(a));
                item->bMainMenu = onBar;
                item->iButton = picture;
                ApplyCaption(a, ((item->fType & kSeparator) ? "-" : "") + item->sMenuText);
            });
            QMenu* menu = a->menu();
            if (!menu) continue;
            // Popups take no style from the bar: each gets it.
            menu->setStyle(w.style_);
            menu->installEventFilter(filter);
            // Connected after the menu's own fillers, which run first.
            QObject::connect(menu, &QMenu::aboutToShow, w.style_, [window, menu] {
                if (MenuWindow* mw = Find(window)) OnInitMenuPopup(*mw, menu);
            });
            QObject::connect(menu, &QMenu::aboutToHide, w.style_, [window] {
                if (MenuWindow* mw = Find(window)) OnMenuClosed(*mw);
            });
        }
    }
    w.SCMainMenu = -1;
    ConvertMenu(w, window->menuBar(), 0, false, true, true);
    return true;
}

void Reset() {
    State& s = S();
    for (auto& [window, mw] : s.windows) {
        QMainWindow* win = const_cast<QMainWindow*>(window);
        QObject::disconnect(s.gone[window]);
        if (!mw->style_) continue;
        win->menuBar()->setStyle(nullptr);
        for (QAction* a : win->menuBar()->actions())
            if (a->menu()) a->menu()->setStyle(nullptr);
        delete mw->style_;
    }
    s.windows.clear();
    s.gone.clear();
    s.items = MenuItems();
    s.errorLogged = false;
}

}  // namespace MenuCode
