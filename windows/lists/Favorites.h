// The Favorites window ("Favorites"): the user's own table of favorite
// names, each with a free comment, kept in the settings store. Names come
// from the "As Favorite" buttons of other windows or are typed and looked
// up; the user comments, orders and deletes them, opens one in the name
// window, hands the table to the list manager, and saves it to or replaces
// it from a list file. The table saves itself: by the minute timer a few
// minutes after a change, and when the window unloads, keeping what another
// run of the program saved since; and it follows the user's own names as
// they are changed or deleted.
#pragma once

#include <QPointer>
#include <memory>
#include <string>

#include "ChildForm.h"
#include "FavoriteRules.h"
#include "WindowContracts.h"

class ListView;
class ListViewDisplay;
class QGroupBox;
class QStatusBar;
class QTimer;
class ResultSet;

class Favorites : public ChildForm, public FavoritesWindow {
    Q_OBJECT
public:
    Favorites();
    ~Favorites() override;
    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;

    // Adds a name or group as Add does (the name lookup answers here).
    void ShowAtom(atom* a) override { Add(a); }
    // Adds a name, or a group as its name of the same text; a favorite that
    // is there already is marked. A full table adds nothing and says so.
    void Add(atom* a);
    using FormBase::Add;  // the controls' factory

    // Handlers, public for the tutorial and the tests.
    void EnterFav_Click();
    void DoModify_Click();
    void DoDelete_Click();
    void MoveUp_Click();
    void MoveDown_Click();
    void List_ItemClick();
    void ShowInfo_Click();
    void AsList_Click();
    void LoadFav_Click();
    void SaveFav_Click();
    void Comment_LostFocus();
    // A tick of the minute timer: saves when the minute rule says so.
    void SaveTimer_Timer();

    const std::shared_ptr<ResultSet>& table() const { return table_; }
    bool isModified = false;
    // The minute of the hour of the last change.
    int lastChangeMinute = 0;

protected:
    // Code 4 (the user's names changed): the favorites follow them.
    void OnNotify(int code, const std::string& text) override;
    void BuildControls() override;
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(bool& cancel) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetEnglishTexts();
    void MarkModified();
    void ShowCurrent();
    // Stores the comment box's text as the marked line's comment (DoModify
    // without the guard).
    void StoreComment();
    // Whether the comment box holds another comment than the marked line's.
    bool CommentChanged() const;
    // Shows the table and marks line (when the table has it).
    void ShowAndMark(int32_t line);
    // Writes the table, merged with what another run wrote since; a table
    // the merge changed is shown when show is set.
    bool SaveTable(bool show);
    // Shows a table filled anew; typing: a comment was being typed, which
    // stays while its favorite stays marked.
    void ShowRefill(const FavoriteRules::StoredTable::Refill& refill, bool typing);
    void LayOut();

    std::shared_ptr<ResultSet> table_;
    FavoriteRules::StoredTable stored_{"Favorites"};
    std::unique_ptr<ListViewDisplay> display_;
    QPointer<QGroupBox> listFrame_, favoriteFrame_, commentFrame_, frame3_, allFrame_;
    QPointer<ListView> list_;
    QPointer<TextBox> curName_, comment_;
    QPointer<CommandButton> enterFav_, doModify_, doDelete_, moveUp_, moveDown_, showInfo_, asList_, saveFav_,
        loadFav_, showHelp_;
    QPointer<QStatusBar> statusBar1_;
    QPointer<QTimer> saveTimer_;
};
