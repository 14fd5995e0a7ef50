// The frame window: the one main window whose MDI area holds every other
// window. Its menus and toolbar open the windows by name through the window
// manager; its close request saves the user's new names, the list of open
// windows and the options, then lets every window unload.
#pragma once

#include <QMainWindow>
#include <QMdiArea>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FormBase.h"

class About;
class QAction;
class QMdiArea;
class QMenu;
class QToolBar;

class KFrame : public FormBase {
    Q_OBJECT
public:
    KFrame();
    ~KFrame() override;

    // The frame of the run; null while there is none.
    static KFrame* Instance();

    // One menu item: the menu it sits in, its control name, caption and the
    // name its command logs, its German caption (cp1252) and its keys.
    struct MenuItem {
        const char* menu;     // control name of its menu
        const char* control;  // "AlphaFunc"
        const char* caption;  // English
        const char* logged;   // "Alpha"
        const char* german;
        const char* keys = "";  // "Ctrl+Tab; Ctrl+F6": the first is shown
        // The caption in the text language.
        std::string Caption() const;
        // The first of the keys as the text language names them
        // ("Ctrl+Shift+Tab", German "Strg+Umschalt+Tab"); "" for none.
        std::string KeyText() const;
    };
    static const std::vector<MenuItem>& MenuItems();
    // The toolbar's buttons: key, tooltip, the menu item it runs ("" for a
    // separator), the German tooltip (cp1252).
    struct ToolButton {
        const char* key;
        const char* toolTip;  // English
        const char* item;
        const char* german;
        // The tooltip in the text language.
        std::string Tip() const;
    };
    static const std::vector<ToolButton>& ToolButtons();
    // Makes the toolbar's pictures at the size the frame's first paint
    // shows them: start-up does it while it waits for the fonts.
    static void PreparePictures();
    // Builds the frame's window with its menus and toolbar ahead of its load,
    // which takes them: none of it measures a text, so start-up does it while
    // fontconfig may still be setting up. Nothing once the frame is loaded.
    void BuildAhead();

    // Opens a window by its name unless input is blocked (logged first).
    void ShowForm(const std::string& name);
    void Notify(int code, const std::string& text) override {}

    // The Click handler of a menu item by its control name ("AlphaFunc").
    void ItemClick(const std::string& control);
    // The toolbar's handler: runs the Click handler of the key's menu item.
    void Toolbar1_ButtonClick(const std::string& key);

    // The menu item and toolbar button actions (null for an unknown name).
    QAction* MenuAction(const std::string& control) const;
    QAction* ToolAction(const std::string& key) const;
    QMenu* Menu(const std::string& control) const;
    QMdiArea* Area() const { return area_; }
    QMainWindow* MainWindow() const;

    // Enables the commands whose windows exist in this build; those of the
    // Windows menu (and the toolbar's arrows) while a child window is shown.
    void UpdateCommandStates();

    // Every command the frame runs, by its logged name, besides the log
    // (start-up leaves it empty; tests listen).
    std::function<void(const std::string& logged)> onCommand;
    // Runs when the frame has unloaded (start-up ends the event loop).
    std::function<void()> onClosed;

    // The left and top of a window of that size centred on the frame, in
    // twips on the screen.
    static void CentreOnFrame(FormBase& form);

protected:
    QWidget* CreateHost() override;
    void BuildControls() override;
    void Form_Load() override;
    void Form_Resize() override;
    void Form_QueryUnload(UnloadMode mode, bool& cancel) override;
    void Form_Unload(bool& cancel) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CallFunc(const std::string& name);
    // The frame's window with its MDI area (area_).
    QMainWindow* MakeWindow();
    void BuildMenus(QMainWindow* main);
    void BuildToolbar(QMainWindow* main);
    void FillWindowList();
    bool ItemAvailable(const std::string& control) const;
    // Whether the window system has told the frame's border and title bar.
    bool HasBorder() const;
    bool HasChildWindow() const;
    // A child window came forward, closed or hid itself.
    void WindowsChanged();

    QPointer<QMdiArea> area_;
    // The window built ahead of the load, with its menus and toolbar, until
    // the load takes it.
    std::unique_ptr<QMainWindow> ahead_;
    QPointer<QToolBar> toolbar_;
    std::map<std::string, QPointer<QAction>> items_;
    std::map<std::string, QPointer<QAction>> tools_;
    std::map<std::string, QPointer<QMenu>> menus_;
    std::vector<QPointer<QAction>> windowEntries_;
    std::unique_ptr<About> about_;
    std::unique_ptr<QObject> keys_;  // F10 and Shift+F10
    bool shown_ = false;
    bool borderFitted_ = false;  // fitted to the screen with the border the window system told
};
