// What the user types reaches the program as cp1252: a letter cp1252 lacks
// is typed as its base letter, and only a character without one is left
// out, with a sign.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QMenu>
#include <QMimeData>
#include <QStandardItemModel>
#include <QString>
#include <QStyleHints>
#include <QTest>

#include "FormControls.h"
#include "QtText.h"
#include "TextConstants.h"

using QtText::FitTyped;
using QtText::TypedAs;

TEST(Typing, LettersOutsideCp1252BecomeTheirBaseLetters) {
    struct Case {
        char32_t typed;
        const char16_t* as;
    } cases[] = {
        {U'Ł', u"L"}, {U'ł', u"l"}, {U'ő', u"ö"}, {U'Ő', u"Ö"}, {U'ű', u"ü"},  // from the table
        {U'ą', u"a"}, {U'č', u"c"}, {U'ř', u"r"}, {U'ș', u"s"}, {U'ț', u"t"},  // from decomposition
        {U'ğ', u"g"}, {U'Ā', u"A"}, {U'ǘ', u"ü"}, {U'ı', u"i"}, {U'đ', u"d"},
        {U'ǅ', u"Dž"}, {U'ﬁ', u"fi"}, {U'Ａ', u"A"},  // compatibility forms: all their letters
        {U'é', u"é"}, {U'ß', u"ß"}, {U'Œ', u"Œ"}, {U'€', u"€"}, {U'ž', u"ž"},  // cp1252 has them
        {U'李', u""}, {U'Ж', u""}, {U'😀', u""}, {U'⅓', u""},  // no base letter cp1252 has
    };
    for (const Case& c : cases)
        EXPECT_EQ(TypedAs(c.typed), QString::fromUtf16(c.as)) << "U+" << std::hex << static_cast<unsigned>(c.typed);
}

TEST(Typing, TextIsFittedWithItsCursorAndRefusedCharacters) {
    struct Case {
        QString typed;
        int cursor;
        QString fit;
        int fitCursor;
        QString refused;
    } cases[] = {
        {QStringLiteral("Łukasz"), 1, QStringLiteral("Lukasz"), 1, {}},
        {QStringLiteral("Dvořák"), 6, QStringLiteral("Dvorák"), 6, {}},
        // A letter with a separate accent is one letter, the cursor after it.
        {QStringLiteral("Zoe\u0308 Ste\u030Cpan"), 4, QStringLiteral("Zoë Stepan"), 3, {}},
        {QStringLiteral("A李😀B"), 5, QStringLiteral("AB"), 2, QStringLiteral("李😀")},
        {QStringLiteral("Anna"), 2, QStringLiteral("Anna"), 2, {}},
        // One line: a line end (CR LF is one) or a tab is a space.
        {QStringLiteral("Anna\r\nMaria\tB"), 12, QStringLiteral("Anna Maria B"), 11, {}},
        {QString::fromUtf16(u"Anna\u2029"), 5, QStringLiteral("Anna "), 5, {}},
    };
    for (const Case& c : cases) {
        QString refused;
        int cursor = c.cursor;
        EXPECT_EQ(FitTyped(c.typed, &refused, &cursor), c.fit) << c.typed.toStdString();
        EXPECT_EQ(cursor, c.fitCursor) << c.typed.toStdString();
        EXPECT_EQ(refused, c.refused) << c.typed.toStdString();
    }
}

TEST(Typing, ATextBoxTakesTheBaseLetterAndSignsWhatItLeavesOut) {
    TextBox box;
    int changes = 0;
    box.onChange = [&] { ++changes; };
    QStringList signs;
    auto* validator = const_cast<QtText::Cp1252Validator*>(
        dynamic_cast<const QtText::Cp1252Validator*>(box.validator()));
    ASSERT_NE(validator, nullptr);
    validator->onRefused = [&](const QString& refused) { signs << refused; };

    box.insert(QStringLiteral("Łukasz"));  // as typed or pasted
    EXPECT_EQ(box.Text(), "Lukasz");
    EXPECT_EQ(box.cursorPosition(), 6);
    EXPECT_TRUE(signs.isEmpty());
    EXPECT_GE(changes, 1);

    box.insert(QStringLiteral("李"));
    EXPECT_EQ(box.Text(), "Lukasz");
    EXPECT_EQ(signs, QStringList{QStringLiteral("李")});
}

// "Anna" copied from a text with its line end and pasted or dropped stays
// one line in a box: the line ends at the ends of what came in go (CR LF is
// one), those inside are a space; what is typed or set stays as it is.
TEST(Typing, ATextBoxDropsTheLineEndsAtTheEndsOfWhatIsPasted) {
    // A drop comes only with a drag under way: it is handed over directly.
    struct DropBox : TextBox {
        using TextBox::dropEvent;
    } box;
    auto paste = [&](const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keySequence(&box, QKeySequence::Paste);
        return box.Text();
    };
    EXPECT_EQ(paste(QStringLiteral("Anna\r\n")), "Anna");
    QTest::keyClicks(&box, QStringLiteral(" "));
    EXPECT_EQ(paste(QStringLiteral("\r\nMaria\r\n\r\n")), "Anna Maria");
    box.setCursorPosition(4);
    EXPECT_EQ(paste(QString::fromUtf16(u"\u2028-Lena\t\n")), "Anna-Lena  Maria");
    box.selectAll();
    EXPECT_EQ(paste(QStringLiteral("\nAnna\rMaria\n")), "Anna Maria");

    // The context menu's Paste, and a drop.
    box.clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("Ida\n"));
    std::unique_ptr<QMenu> menu(box.ContextMenu());
    const QList<QAction*> items = menu->actions();
    const auto pasteItem = std::find_if(items.begin(), items.end(), [](QAction* a) { return a->text().startsWith("&Paste"); });
    ASSERT_NE(pasteItem, items.end());
    (*pasteItem)->trigger();
    EXPECT_EQ(box.Text(), "Ida");
    QMimeData dragged;
    dragged.setText(QStringLiteral("\r\nMaria\r\n"));
    QDropEvent drop(QPointF(box.width() - 1, 1), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    box.dropEvent(&drop);
    EXPECT_EQ(box.Text(), "IdaMaria");

    box.SetText("Anna\nMaria");
    EXPECT_EQ(box.Text(), "Anna Maria");
}

TEST(Typing, TheSignNamesWhatWasLeftOutInTheTextLanguage) {
    const int language = TextConstants::textLanguage;
    TextConstants::textLanguage = 1;
    EXPECT_TRUE(QtText::RefusedNote(QStringLiteral("李")).startsWith(QStringLiteral("Left out: 李 ")));
    TextConstants::textLanguage = 0;
    EXPECT_TRUE(QtText::RefusedNote(QStringLiteral("李")).startsWith(QStringLiteral("Weggelassen: 李 ")));
    EXPECT_FALSE(QtText::RefusedNote(QStringLiteral("李")).contains(QChar(0xDF)));  // Swiss: no "ß"
    TextConstants::textLanguage = language;
}

// Qt's own German texts (the system menu of a child window, the dialogs) are
// Swiss standard German as the program's are.
TEST(SwissGerman, QtsOwnTextsWriteSsForSharpS) {
    QtText::SwissGermanTranslator qt;
    if (!qt.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        GTEST_SKIP() << "Qt's German translation is not installed";
    EXPECT_EQ(qt.translate("QMdiSubWindow", "&Close"), QStringLiteral("Schl&iessen"));
    EXPECT_EQ(qt.translate("QMdiSubWindow", "&Size"), QStringLiteral("&Grösse"));
}

// Typing in a combo box chooses the entry equal to the text before a longer
// one that begins with it, closed or with its list open; an entry that
// cannot be chosen (the separator) is passed over.
class ComboTyping : public testing::Test {
protected:
    void SetUp() override {
        // Every key of a case continues its text, however slow the machine.
        styleHints->setKeyboardInputInterval(3600 * 1000);
        for (const char* entry : {"(undefined)", "Germanic", "Hebrew", "Latin", "___", "Arabic", "German", "Germanic",
                                  "Hebrew", "Latin"})
            box.addItem(QString::fromLatin1(entry));
        qobject_cast<QStandardItemModel*>(box.model())->item(4)->setEnabled(false);
        box.onClick = [this] { ++clicks; };
    }
    void TearDown() override { styleHints->setKeyboardInputInterval(interval); }

    QStyleHints* styleHints = QGuiApplication::styleHints();
    const int interval = styleHints->keyboardInputInterval();
    ComboBox box;
    int clicks = 0;
};

TEST_F(ComboTyping, TheEntryEqualToTheTextWinsOverOneBeginningWithIt) {
    const struct {
        const char* typed;
        int chosen;
    } cases[] = {
        {"German", 6}, {"germ", 1}, {"GERMANIC", 1}, {"lat", 3},
        {"hh", 8},  // the same letter again: on to the next entry beginning with it
        {"_", 0}, {"x", 0},  // nothing to choose: the choice stays
    };
    for (const auto& c : cases) {
        ComboBox fresh;
        fresh.setModel(box.model());
        fresh.setCurrentIndex(0);
        int changes = 0;
        fresh.onClick = [&] { ++changes; };
        QTest::keyClicks(&fresh, QString::fromLatin1(c.typed));
        EXPECT_EQ(fresh.currentIndex(), c.chosen) << c.typed;
        EXPECT_EQ(changes > 0, c.chosen != 0) << c.typed;  // chosen as by a click
    }
}

TEST_F(ComboTyping, TheOpenListMarksTheEntryAndEnterChoosesIt) {
    box.setCurrentIndex(0);
    box.showPopup();
    QTest::keyClicks(box.view(), QStringLiteral("german"));
    EXPECT_EQ(box.view()->currentIndex().row(), 6);
    EXPECT_EQ(box.currentIndex(), 0);
    QTest::keyClick(box.view(), Qt::Key_Return);
    EXPECT_EQ(box.currentIndex(), 6);
    EXPECT_EQ(clicks, 1);
}
