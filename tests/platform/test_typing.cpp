// What the user types reaches the program as cp1252: a letter cp1252 lacks
// is typed as its base letter, and only a character without one is left
// out, with a sign.
#include <gtest/gtest.h>

#include <QLibraryInfo>
#include <QString>

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
