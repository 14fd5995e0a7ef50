// The frame's menus in the program's own look: the captions' conventions,
// the records kept while a menu is open, the typed access keys, the sizes
// asked for and what is drawn, offscreen.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyleOptionMenuItem>
#include <memory>

#include "Errors.h"
#include "Fakes.h"
#include "MenuCode.h"
#include "MenuStyle.h"
#include "QtText.h"

using namespace MenuCode;

namespace {

TEST(MenuCaptions, ConventionsAndTheWayBack) {
    struct Case {
        const char* caption;
        const char* text;
        const char* help;
        bool separator, mark;
        const char* back;  // the caption after converting back
    };
    const Case cases[] = {
        {"&Show", "&Show", "", false, false, "&Show"},
        {"-|Options|Colours", "Colours", "Options", true, false, "-|Options|Colours"},
        {"-", "", "", true, false, "-"},
        {"#Bold", "Bold", "", false, true, "#Bold"},
        {"*Bold", "Bold", "", false, true, "#Bold"},
        {"&1 Anna", "&1 Anna", "", false, true, "&1 Anna"},
        {"&0 Anna", "&0 Anna", "", false, false, "&0 Anna"},  // no digit 1 to 9
        {"!&Hidden", "!&Hidden", "", false, false, "!&Hidden"},
        {"!|Secret|&Hidden", "!&Hidden", "Secret", false, false, "!|Secret|&Hidden"},  // stays hidden
        {"#|Tip|&Wide", "&Wide", "Tip", false, true, "#|Tip|&Wide"},
        {"Before|Tip|After", "After", "Tip", false, false, "|Tip|After"},
        {"A|B", "A|B", "", false, false, "A|B"},  // one bar is plain text
        {"", "", "", false, false, ""},
    };
    for (const Case& c : cases) {
        MenuItem item = ParseCaption(c.caption);
        EXPECT_EQ(item.sMenuText, c.text) << c.caption;
        EXPECT_EQ(item.sMenuHelp, c.help) << c.caption;
        EXPECT_EQ((item.fType & kSeparator) != 0, c.separator) << c.caption;
        EXPECT_EQ(item.bAsMark, c.mark) << c.caption;
        EXPECT_EQ(item.bAsCheck, c.mark) << c.caption;
        EXPECT_TRUE(item.fType & kOwnerDraw) << c.caption;
        EXPECT_EQ(RebuildCaption(item), c.back) << c.caption;
    }
}

TEST(MenuCaptions, PicturesByTagIgnoringCaseAndNoneOnTheBar) {
    const MenuImageList images = {{QIcon(), ""}, {QIcon(), "names by &alphabet..."}, {QIcon(), "Names by &Alphabet..."},
                                  {QIcon(), "&\xc4nderung"}};
    EXPECT_EQ(PictureIndex(images, "Names by &Alphabet...", false), 1);
    EXPECT_EQ(PictureIndex(images, "Names by &Alphabet...", true), -1);
    EXPECT_EQ(PictureIndex(images, "&\xe4nderung", false), 3);  // ä and Ä by the program's table
    EXPECT_EQ(PictureIndex(images, "", false), -1);             // an empty tag matches nothing
    EXPECT_EQ(PictureIndex(images, "&Word...", false), -1);
    // The system's own commands stay the desktop's.
    EXPECT_FALSE(ConvertsItem(true, 0xF060));
    EXPECT_TRUE(ConvertsItem(true, -5000));
    EXPECT_TRUE(ConvertsItem(false, 0xF060));
}

TEST(MenuCaptions, TypedAccessKeys) {
    auto entries = [](std::initializer_list<std::pair<const char*, bool>> items) {
        std::vector<MenuCharEntry> v;
        for (auto [text, highlighted] : items) v.push_back({text, true, highlighted});
        return v;
    };
    using R = MenuCharResult;
    struct Case {
        std::vector<MenuCharEntry> items;
        char typed;
        R::Action action;
        int position;
    };
    const Case cases[] = {
        {entries({{"&Show", false}, {"&Find", false}}), 'f', R::kExecute, 1},
        {entries({{"&Load", false}, {"&List", false}, {"&Lines", false}}), 'L', R::kSelect, 0},
        {entries({{"&Load", false}, {"&List", false}, {"&Lines", true}}), 'l', R::kSelect, 2},
        {entries({{"&Load", true}, {"&Save", false}, {"&List", false}}), 'l', R::kSelect, 0},
        {entries({{"&Load", false}, {"&Save", true}, {"&List", false}}), 'l', R::kSelect, 0},
        {entries({{"&Show", false}, {"Find", false}}), 'f', R::kNone, -1},
        {entries({{"Save&", false}}), 's', R::kNone, -1},
        {entries({{"&\xc4nderung", false}}), '\xe4', R::kExecute, 0},
    };
    for (const Case& c : cases) {
        R r = OnMenuChar(c.typed, c.items);
        EXPECT_EQ(r.action, c.action) << c.typed;
        EXPECT_EQ(r.position, c.position) << c.typed;
    }
    // Items that are not converted do not count.
    std::vector<MenuCharEntry> mixed = {{"&Find", false, false}, {"&Full", true, false}};
    EXPECT_EQ(OnMenuChar('f', mixed).action, R::kExecute);
    EXPECT_EQ(OnMenuChar('f', mixed).position, 1);
}

// --- A window with menus, offscreen ------------------------------------------------

class MenuWindowTest : public testing::Test {
protected:
    void SetUp() override {
        MenuCode::Reset();
        window = std::make_unique<QMainWindow>();
        window->menuBar()->setNativeMenuBar(false);
        QMenu* show = window->menuBar()->addMenu("&Show");
        alpha = show->addAction("Names by &Alphabet...");
        single = show->addAction("&Name/Group...");
        word = show->addAction("&Word...");
        word->setEnabled(false);
        show->addAction("!&Hidden");
        show->addSeparator();
        entry = show->addAction("&1 Anna");
        entry->setCheckable(true);
        entry->setChecked(true);
        menu = show;
        QMenu* help = window->menuBar()->addMenu("&Help");
        help->addAction("&Contents...");
        QImage red(16, 16, QImage::Format_ARGB32);
        red.fill(Qt::red);
        icon = QIcon(QPixmap::fromImage(red));
        window->resize(400, 300);
        window->show();
    }
    void TearDown() override {
        if (menu && menu->isVisible()) menu->hide();
        window.reset();
        MenuCode::Reset();
    }

    void Subclass(bool rightToLeft = false) {
        SubclassMenus(window.get(), {{icon, "names by &ALPHABET..."}, {icon, "&Word..."}});
        WindowOf(window->menuBar())->RightToLeft = rightToLeft;
    }
    // The open menu with the mouse on an item (null: none), as drawn.
    QImage Grab(QAction* active) {
        menu->popup(QPoint(0, 0));
        menu->setActiveAction(active);
        QApplication::processEvents();
        return menu->grab().toImage();
    }
    QRect Geometry(QAction* a) const { return menu->actionGeometry(a); }
    QRgb At(const QImage& img, int x, int y) const {
        const qreal dpr = img.devicePixelRatio();
        return img.pixel(static_cast<int>(x * dpr), static_cast<int>(y * dpr)) | 0xFF000000u;
    }
    // Dark pixels in the picture column of an item.
    int InkInColumn(const QImage& img, const QRect& item) const {
        int ink = 0;
        for (int x = item.left(); x < item.left() + 18; ++x)
            for (int y = item.top(); y <= item.bottom(); ++y)
                if (qGray(At(img, x, y)) < 80) ++ink;
        return ink;
    }

    std::unique_ptr<QMainWindow> window;
    QMenu* menu = nullptr;
    QAction *alpha = nullptr, *single = nullptr, *word = nullptr, *entry = nullptr;
    QIcon icon;
};

TEST_F(MenuWindowTest, DropDownsConvertWhileOpenWithNewTicketsEachTime) {
    Subclass();
    // The bar is converted at once and stays so.
    QAction* bar = window->menuBar()->actions().at(0);
    ASSERT_TRUE(ItemOf(bar));
    EXPECT_TRUE(ItemOf(bar)->bMainMenu);
    EXPECT_EQ(ItemOf(bar)->iButton, -1);
    EXPECT_FALSE(ItemOf(alpha));

    menu->popup(QPoint(0, 0));
    ASSERT_TRUE(ItemOf(alpha));
    EXPECT_EQ(ItemOf(alpha)->iButton, 0);  // its tag, ignoring case
    EXPECT_EQ(ItemOf(single)->iButton, -1);
    EXPECT_TRUE(ItemOf(entry)->bAsCheck);
    const int firstTicket = alpha->data().toInt();
    EXPECT_EQ(WindowOf(menu)->MainPopedIndex, -2);

    menu->hide();
    EXPECT_FALSE(ItemOf(alpha));
    EXPECT_FALSE(alpha->data().isValid());
    EXPECT_EQ(alpha->text(), "Names by &Alphabet...");
    EXPECT_EQ(WindowOf(menu)->MainPopedIndex, -1);
    EXPECT_TRUE(ItemOf(bar));

    menu->popup(QPoint(0, 0));
    EXPECT_GT(alpha->data().toInt(), firstTicket);
    menu->hide();
    EXPECT_EQ(Items().Count(), 2);  // the two bar items

    // A bar caption set later is what the bar draws.
    menu->setTitle("&Zeigen");
    ASSERT_TRUE(ItemOf(bar));
    EXPECT_EQ(ItemOf(bar)->sMenuText, "&Zeigen");
    EXPECT_TRUE(ItemOf(bar)->bMainMenu);
}

TEST_F(MenuWindowTest, ItemSizesAndTheHiddenItem) {
    Subclass();
    menu->popup(QPoint(0, 0));
    QApplication::processEvents();
    MenuStyle* style = WindowOf(menu)->Style();
    QFontMetrics fm(WindowOf(menu)->MenuFont());
    const QRect a = Geometry(alpha);
    EXPECT_EQ(a.height(), std::max(style->BarItemHeight(nullptr), fm.height()));
    // Every item is as wide as the widest text asks, plus what the desktop adds.
    int widest = 0;
    for (QAction* x : {alpha, single, word, entry})
        widest = std::max(widest, fm.size(Qt::TextShowMnemonic, x->text()).width());
    EXPECT_EQ(a.width(), widest + 2 * 16 + 4 + (6 - 13) + style->SystemExtraWidth());
    // The hidden item has no room and the keyboard passes it.
    QAction* hidden = menu->actions().at(3);
    EXPECT_TRUE(Geometry(hidden).isEmpty());
    menu->setActiveAction(word);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(menu, &down);
    EXPECT_EQ(menu->activeAction(), entry);
}

TEST_F(MenuWindowTest, TypedKeysRunOrSelect) {
    Subclass();
    int runs = 0;
    QObject::connect(single, &QAction::triggered, [&runs] { ++runs; });
    menu->popup(QPoint(0, 0));
    QKeyEvent n(QEvent::KeyPress, Qt::Key_N, Qt::NoModifier, "n");
    QApplication::sendEvent(menu, &n);
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(menu->isVisible());
}

TEST_F(MenuWindowTest, AnActionAddedToAnOpenMenuIsDrawnPlainAndLoggedOnce) {
    Errors::LogEnabled = true;
    Subclass();
    menu->popup(QPoint(0, 0));
    QAction* late = menu->addAction("&Late");
    QApplication::processEvents();
    EXPECT_FALSE(menu->grab().toImage().isNull());
    EXPECT_FALSE(ItemOf(late));
    EXPECT_FALSE(Geometry(late).isEmpty());
    Errors::LogEnabled = false;
}

TEST_F(MenuWindowTest, WhatTheItemsLookLike) {
    Subclass();
    const QPalette pal = menu->palette();
    const QColor highlight = pal.color(QPalette::Active, QPalette::Highlight).rgb();

    // The selected item with a picture: its bar starts after the column, the
    // picture has a raised frame.
    QImage img = Grab(alpha);
    QRect a = Geometry(alpha);
    const int mid = a.center().y();
    EXPECT_NE(At(img, a.left() + 18, mid), highlight);
    EXPECT_EQ(At(img, a.left() + 19, mid), highlight);
    EXPECT_EQ(At(img, a.left(), a.top()), pal.color(QPalette::Active, QPalette::Light).rgb());
    EXPECT_EQ(At(img, a.left() + 17, a.bottom()), pal.color(QPalette::Active, QPalette::Dark).rgb());
    EXPECT_EQ(At(img, a.left() + 9, mid), QColor(Qt::red).rgb());
    menu->hide();

    // The checked entry without picture: glyph pixels in the column.
    img = Grab(nullptr);
    QRect e = Geometry(entry);
    const int ink = InkInColumn(img, e);
    EXPECT_GE(ink, 10);
    // The disabled item: grey text with light pixels one down and right.
    QRect w = Geometry(word);
    const QRgb grey = pal.color(QPalette::Active, QPalette::Dark).rgb();
    const QRgb light = pal.color(QPalette::Active, QPalette::Light).rgb();
    bool embossed = false;
    for (int x = w.left() + 21; x < w.right() - 18 && !embossed; ++x)
        for (int y = w.top(); y < w.bottom() && !embossed; ++y)
            embossed = At(img, x, y) == grey && At(img, x + 1, y + 1) == light;
    EXPECT_TRUE(embossed);
    for (int x = w.left() + 21; x < w.right(); ++x)
        for (int y = w.top(); y <= w.bottom(); ++y) ASSERT_NE(qGray(At(img, x, y)), 0) << x << "," << y;
    menu->hide();
}

// A window asking for the check style the program does not draw gets no mark
// in the column, an assertion saying so, and the other items as always.
TEST_F(MenuWindowTest, ComplexChecksDrawNoMarkAndSaySo) {
    Subclass();
    WindowOf(menu)->ComplexChecks = true;
    QImage img = Grab(nullptr);
    QRect e = Geometry(entry);
    const int ink = InkInColumn(img, e);
    EXPECT_EQ(ink, 0);
    // The picture of an item with one is drawn as always.
    img = Grab(alpha);
    const QRect a = Geometry(alpha);
    EXPECT_EQ(At(img, a.left() + 9, a.center().y()), QColor(Qt::red).rgb());
    menu->hide();
    QApplication::processEvents();
    WindowOf(menu)->ComplexChecks = false;
    const std::vector<std::string> asserts = Fakes().TakeAsserts();
    ASSERT_FALSE(asserts.empty());
    for (const std::string& x : asserts) EXPECT_EQ(x, "*** Assert: *** ComplexCheck");
}

TEST_F(MenuWindowTest, RightToLeftMovesTheColumnRight) {
    Subclass(true);
    QImage img = Grab(alpha);
    QRect a = Geometry(alpha);
    const QColor highlight = menu->palette().color(QPalette::Active, QPalette::Highlight).rgb();
    EXPECT_EQ(At(img, a.left() + 2, a.center().y()), highlight);
    EXPECT_NE(At(img, a.right() - 18 + 1, a.center().y()), highlight);
    EXPECT_EQ(At(img, a.right() - 8, a.center().y()), QColor(Qt::red).rgb());
}

TEST_F(MenuWindowTest, AnOpenBarItemLooksPressed) {
    Subclass();
    QMenuBar* bar = window->menuBar();
    QAction* show = bar->actions().at(0);
    QStyleOptionMenuItem opt;
    opt.initFrom(bar);
    opt.rect = bar->actionGeometry(show);
    opt.text = show->text();
    opt.menuItemType = QStyleOptionMenuItem::Normal;
    opt.state = QStyle::State_Enabled | QStyle::State_Selected | QStyle::State_Sunken;
    QImage img(bar->size(), QImage::Format_ARGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        bar->style()->drawControl(QStyle::CE_MenuBarItem, &opt, &p, bar);
    }
    const QRect r = opt.rect;
    EXPECT_EQ(img.pixel(r.left(), r.center().y()), bar->palette().color(QPalette::Active, QPalette::Dark).rgb());
    EXPECT_EQ(img.pixel(r.right(), r.center().y()), bar->palette().color(QPalette::Active, QPalette::Light).rgb());
    EXPECT_EQ(img.pixel(r.center().x(), r.top()), bar->palette().color(QPalette::Active, QPalette::Dark).rgb());
}

}  // namespace
