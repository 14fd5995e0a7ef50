// The frame's menus in the program's own look. The menu bar and its drop-down
// menus are measured and drawn by MenuStyle from a record per item (its text
// without markers, a help text, a picture, whether it is a check item); this
// module keeps those records and the settings of each window.
//
// A drop-down menu is converted when it opens (each item gets a ticket in
// QAction::data() and a record under it) and converted back when it closes,
// so between uses the actions hold their plain captions; the bar stays
// converted. Captions may carry conventions:
//
//   "-|Options|Colours"  a separator line with the caption Colours, help Options
//   "#Bold"              a check item, text "Bold" ("*" converts the same)
//   "&1 Anna"            a numbered entry: a check item keeping its whole text
//   "!&Hidden"           takes no room and is not drawn; the "!" stays
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPointer>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QWidget;
class MenuStyle;

namespace MenuCode {

// Width and height of a menu picture, pixels.
constexpr int kImageSize = 16;

// Type flags of a converted item.
enum : int32_t { kOwnerDraw = 0x100, kSeparator = 0x800 };

// One picture of a window's image list: the picture and the caption of the
// menu item it belongs to ("" for none).
struct MenuImage {
    QIcon picture;
    std::string tag;
};
using MenuImageList = std::vector<MenuImage>;

// The record of one converted item.
struct MenuItem {
    std::string sMenuText;   // caption without marker and help part
    int32_t fType = 0;       // kOwnerDraw, with kSeparator for "-" items
    int iButton = -1;        // picture index; -1 for none and on the bar
    bool bMainMenu = false;  // lies on the menu bar
    bool bAsCheck = false;   // drawn as a check item
    bool bAsMark = false;    // "#" or a numbered prefix
    std::string sMenuHelp;   // help text between the bars
    bool bTrueSub = false;   // opens a submenu and is not on the bar
};

// Every record, keyed by the decimal text of its ticket.
class MenuItems {
public:
    // The next ticket (from 1).
    int NewTicket() { return ticket_++; }
    MenuItem* Add(const std::string& key);
    // Null when the key is missing.
    MenuItem* Item(const std::string& key) const;
    int Count() const { return static_cast<int>(items_.size()); }
    void Remove(const std::string& key);
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    int ticket_ = 1;
    std::map<std::string, std::unique_ptr<MenuItem>> items_;
};

// The settings of one window whose menus are converted.
class MenuWindow {
public:
    explicit MenuWindow(QMainWindow* window);
    ~MenuWindow();
    MenuWindow(const MenuWindow&) = delete;
    MenuWindow& operator=(const MenuWindow&) = delete;

    QMainWindow* hWnd() const { return window_; }
    // Drop-down menus converted while open: the upper bound of their list,
    // adding (once each) and reading (null out of range).
    int CountMenuHeads() const { return static_cast<int>(heads_.size()) - 1; }
    void AddMenuHead(QMenu* menu);
    QMenu* GetMenuHead(int i) const;

    MenuImageList ilHandle;
    bool ComplexChecks = false;
    bool ColorEmbossed = true;  // kept for the settings' sake; the drawing reads none
    bool RightToLeft = false;
    QColor SelectColor;
    bool FullSelect = true;
    int32_t foreColor = 0;  // 0: the palette's menu text
    int FontSize() const { return fontSize_; }
    void SetFontSize(int points);
    const std::string& FontName() const { return fontName_; }
    void SetFontName(const std::string& name);
    int MainPopedIndex = -1;
    void SetMainPopedIndex(const std::string& text);
    int SCMainMenu = 0;

    // The item font ("MS Sans Serif" is the desktop's sans) and the font of
    // separator captions (a sans of 11 pixels); made once, again after a
    // change of name or size.
    const QFont& MenuFont();
    const QFont& MenuFontSep();

    MenuStyle* Style() const { return style_; }
    // Whether the menu (a drop-down or the bar) holds converted items now.
    bool IsConverted(const QWidget* menu) const;

private:
    friend void ConvertMenu(MenuWindow&, QWidget*, int, bool, bool, bool);
    friend bool SubclassMenus(QMainWindow*, MenuImageList);
    friend void Reset();
    friend MenuWindow* WindowOf(const QWidget*);
    QPointer<QMainWindow> window_;
    std::vector<QPointer<QMenu>> heads_;
    std::set<const QWidget*> converted_;
    std::string fontName_ = "MS Sans Serif";
    int fontSize_ = 8;
    std::unique_ptr<QFont> menuFont_;
    std::unique_ptr<QFont> sepFont_;
    MenuStyle* style_ = nullptr;  // a child of the window
};

// --- Captions (pure) ----------------------------------------------------------------

// Fills sMenuText, sMenuHelp, bAsMark, bAsCheck and the separator flag of
// fType from a caption.
MenuItem ParseCaption(const std::string& caption);
// The caption a converted item goes back to.
std::string RebuildCaption(const MenuItem& item);
// The first picture whose tag equals the text ignoring case; -1 for none and
// always on the bar.
int PictureIndex(const MenuImageList& images, const std::string& text, bool onBar);
// In a system menu only the program's own items (ids below -4096) are touched.
bool ConvertsItem(bool isSystemMenu, int32_t commandId);

// A typed character in an open menu: the items whose access key ("&x") it
// is. One runs; several select the highlighted one if it matches, else the
// first; none leaves the key to the menu.
struct MenuCharEntry {
    std::string text;  // sMenuText
    bool ownerDrawn = true;
    bool highlighted = false;
};
struct MenuCharResult {
    enum Action { kNone, kExecute, kSelect } action = kNone;
    int position = -1;
};
MenuCharResult OnMenuChar(char typed, const std::vector<MenuCharEntry>& items);

// --- The window's menus ---------------------------------------------------------------

// Converts the window's menu bar, sets its style on the bar and every
// drop-down, and converts each drop-down while it is open. Always True.
bool SubclassMenus(QMainWindow* window, MenuImageList images);
// Converts every item of one menu level (a QMenu or the QMenuBar) or back.
void ConvertMenu(MenuWindow& window, QWidget* menu, int index, bool isSystemMenu, bool convert, bool isMainMenu);
// The records.
MenuItems& Items();
// The window whose menus include this bar or menu; null for none.
MenuWindow* WindowOf(const QWidget* menuOrBar);
// The record of a converted action; null for none.
MenuItem* ItemOf(const QAction* action);
// The caption of an action as the menu holds it ("-" + text for a separator).
std::string CaptionOf(const QAction* action);
// Logs, once after each SubclassMenus, an item that has no record.
void LogMissingRecord(const std::string& caption);
// Forgets every window and record (tests).
void Reset();

}  // namespace MenuCode
