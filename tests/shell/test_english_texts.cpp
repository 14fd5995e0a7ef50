// What an English reader meets, checked on the running English edition: the
// captions of every window, the messages, the help pages' promises about the
// sample database, and a shared rank of a hit parade.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QWidget>

#include "AboutFeedback.h"
#include "DataBase.h"
#include "FormControls.h"
#include "GenMsg.h"
#include "GenMsgForm.h"
#include "PopRows.h"
#include "ProgramFixture.h"
#include "QtText.h"
#include "ResultSet.h"
#include "windows/info/Alpha.h"
#include "windows/info/NameDays.h"

namespace {

QString HelpFolder(const char* language) {
    return QString::fromUtf8(SOURCE_DIR) + "/data/help" + QString::fromUtf8(language);
}

QString ReadPage(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Every visible text of a window's widgets: captions, frame titles, labels, tips.
QStringList TextsOf(QWidget* host) {
    QStringList texts;
    for (auto* b : host->findChildren<QAbstractButton*>()) texts << b->text() << b->toolTip();
    for (auto* g : host->findChildren<QGroupBox*>()) texts << g->title() << g->toolTip();
    for (auto* l : host->findChildren<QLabel*>()) texts << l->text() << l->toolTip();
    texts << host->windowTitle();
    return texts;
}

class EnglishTexts : public RunningProgram {
protected:
    void Start() { StartProgram("/x/talvessin"); }

    // The list of the names by alphabet for the letter, all genders.
    int32_t NamesWithLetter(char letter) {
        WinMan::OpenForm("Alpha");
        auto* alpha = dynamic_cast<Alpha*>(Auto::GetForm("Alpha"));
        if (alpha == nullptr) return -1;
        alpha->ControlAs<OptionButton>("Both")->click();
        alpha->ControlAs<CommandButton>("Letter", letter - 'A')->click();
        return alpha->names()->numLines();
    }
    int32_t Saints() {
        WinMan::OpenForm("NameDays");
        auto* days = dynamic_cast<NameDays*>(Auto::GetForm("NameDays"));
        return days ? days->saints()->numLines() : -1;
    }
};

// Every window of the English edition as it loads: no German "Ok", no "Pure
// text", no German word that slipped into an English caption.
TEST_F(EnglishTexts, NoWindowCaptionIsGermanOrMisspelt) {
    Start();
    const QRegularExpression wrong(QStringLiteral(
        R"(^&?Ok$|Pure text|Fehlercode|Saint's Days|\b(Hilfe|Abbrechen|Schliessen|Beispiel|Anzeigen)\b)"));
    int windows = 0;
    for (const std::string& name : Auto::AvailableNames()) {
        FormBase* form = Auto::GetForm(name);
        if (form == nullptr) continue;
        form->Load();
        if (QWidget* host = form->Host()) {
            ++windows;
            for (const QString& text : TextsOf(host))
                EXPECT_FALSE(wrong.match(text).hasMatch()) << name << ": " << text.toStdString();
        }
        if (form->kind() != FormBase::Kind::TopLevel) form->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_GE(windows, 20);
}

// The message box's button says "OK" in both editions, never "Ok"; no English
// message slips into another word. (The disk messages' "error code" and
// "Fehlercode" are MessageCompose's.)
TEST_F(EnglishTexts, TheMessagesButtonSaysOkAndNoMessageSlips) {
    for (bool english : {true, false}) {
        TextConstants::textLanguage = english ? 1 : 0;
        GenMsgForm form;
        form.Prepare(GenMsg::Compose(GenMsg::Entry(GenMsg::GMdone, english), GenMsg::GMdone, GenMsg::kInformation,
                                     "", 0, english)
                         .message);
        auto* ok = form.findChild<QPushButton*>(QStringLiteral("DoOk"));
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(ok->text(), QStringLiteral("OK")) << english;
    }
    for (int id = 0; id < GenMsg::kNumMessages; ++id) {
        const std::string entry = GenMsg::Entry(id, true);
        for (const char* slip : {"loose", "consider to", "Because of copyright", "results in", "Fehlercode"})
            EXPECT_EQ(entry.find(slip), std::string::npos) << id << ": " << entry;
    }
}

// Each count a help page quotes from a window ("84 names with 'M'", "Nothing
// with 'Q'", "56 saints", in either language) is what that window shows on
// the sample database.
TEST_F(EnglishTexts, HelpPagesQuoteTheCountsTheWindowsShow) {
    Start();
    const QRegularExpression letterCount(QStringLiteral(R"((\d+) (?:names with|Namen mit) '([A-Z])')"));
    const QRegularExpression letterNone(QStringLiteral(R"((?:Nothing with|Nichts mit) '([A-Z])')"));
    const QRegularExpression saintCount(QStringLiteral(R"("(\d+) (?:saints|Heilige)\")"));
    // A count of groups or words belongs to one topic, language or word: no page quotes one.
    const QRegularExpression otherCount(QStringLiteral(R"("\d+ (?:groups|Gruppen|words|W\x{00f6}rter)\b)"));
    int claims = 0;
    for (const char* language : {"", "/de"}) {
        QDir dir(HelpFolder(language));
        for (const QString& file : dir.entryList({QStringLiteral("*.html")}, QDir::Files)) {
            const QString page = ReadPage(dir.filePath(file));
            const std::string where = std::string(language) + "/" + file.toStdString();
            for (auto it = letterCount.globalMatch(page); it.hasNext(); ++claims) {
                const auto m = it.next();
                EXPECT_EQ(NamesWithLetter(m.captured(2).at(0).toLatin1()), m.captured(1).toInt())
                    << where << ": " << m.captured(0).toStdString();
            }
            for (auto it = letterNone.globalMatch(page); it.hasNext(); ++claims) {
                const auto m = it.next();
                EXPECT_EQ(NamesWithLetter(m.captured(1).at(0).toLatin1()), 0)
                    << where << ": " << m.captured(0).toStdString();
            }
            EXPECT_FALSE(otherCount.match(page).hasMatch()) << where << ": " << otherCount.match(page).captured(0).toStdString();
            for (auto it = saintCount.globalMatch(page); it.hasNext(); ++claims) {
                const auto m = it.next();
                EXPECT_EQ(Saints(), m.captured(1).toInt()) << where << ": " << m.captured(0).toStdString();
            }
        }
    }
    EXPECT_GE(claims, 4);  // the letter and saints pages of both languages
}

// The English help never calls a button "Ok" or the plain-text export "Pure text", spells
// one word one way (American) and calls one thing by one name.
TEST(EnglishHelp, PagesUseTheProgramsOwnWords) {
    QDir dir(HelpFolder(""));
    // "Hitparades" is the window's own name; in prose it is a hit parade.
    const QRegularExpression wrong(QStringLiteral(
        R"(<b>Ok</b>|Pure text|Saint's Days|Fehlercode|\b[Cc]olour|\b[Ff]avour|\bhitparade|\b[Tt]ick(s|ed)?\b|)"
        R"(\bbrackets?\b|recognis|\bonwards\b|north-east|\b[Mm]end(s|ed)?\b|name window|close button|)"
        R"(list of favorites|selected list|\breferences\b)"));
    int pages = 0;
    for (const QString& file : dir.entryList({QStringLiteral("*.html")}, QDir::Files)) {
        ++pages;
        const QStringList lines = ReadPage(dir.filePath(file)).split('\n');
        for (int i = 0; i < lines.size(); ++i) {
            // The program's own captions ("Hitparades...") are quoted as it shows them.
            QString line = lines[i];
            line.remove(QRegularExpression(QStringLiteral("<b>[^<]*</b>")));
            EXPECT_FALSE(wrong.match(line).hasMatch()) << file.toStdString() << ":" << i + 1 << ": "
                                                       << lines[i].toStdString();
        }
    }
    EXPECT_GE(pages, 50);
}

// The English texts of the database source, the English examples and the
// tutorials: American spelling, the windows by their own names, and dates as the program
// writes them ("March 19").
TEST(EnglishData, OneSpellingAndOneDateForm) {
    const QRegularExpression english(QStringLiteral(R"(^prop\((prTextE|prDescrE|prOrigInfoE|prCommentE|prEnglish|prAbbrevE),|^prop\(\w+,quEn)"));
    const QRegularExpression wrong(QStringLiteral(
        R"(\b([Cc]olou?r(?<=our)|[Ff]avou?r(?<=our)|[Hh]onour|[Ll]abour|[Vv]igour|baptis(e|ed|ing)\b|[Gg]rey\b|spelt\b|modelled|(canon|organ|recogn|real)is(e|ed|ing)\b|centred|metres?\b|\bSt [A-Z]|hitparade)|)"
        R"(\b([Tt]ick(s|ed)?|brackets?|onwards|[Mm]end(s|ed)?|name window)\b|)"
        R"(\b\d{1,2} (January|February|March|April|May|June|July|August|September|October|November|December)\b)"));
    const QString root = QString::fromUtf8(SOURCE_DIR) + "/data/";
    QStringList files;
    QFile manifest(root + "db/FILES");
    ASSERT_TRUE(manifest.open(QIODevice::ReadOnly));
    for (const QString& line : QString::fromUtf8(manifest.readAll()).split('\n'))
        if (line.endsWith(QStringLiteral(".txt"))) files << "db/" + line.trimmed();
    files << QStringLiteral("examples/Talv1Ex.txt");
    for (const QString& t : QDir(root + "tutorials").entryList({QStringLiteral("*.txt")}, QDir::Files))
        files << "tutorials/" + t;
    int lines = 0;
    for (const QString& file : files) {
        const bool source = file.startsWith(QStringLiteral("db/"));
        const QStringList text = ReadPage(root + file).split('\n');
        for (int i = 0; i < text.size(); ++i) {
            if (source && !english.match(text[i]).hasMatch()) continue;
            ++lines;
            EXPECT_FALSE(wrong.match(text[i]).hasMatch()) << file.toStdString() << ":" << i + 1 << ": "
                                                          << text[i].toStdString();
        }
    }
    EXPECT_GE(lines, 1000);
}

// Benjamin and Ethan had the same number of births in California in 2020:
// both rows show rank 6 with the other's name, Benjamin first as the SSA lists them.
TEST_F(EnglishTexts, ASharedRankShowsInBothRowsInTheSsaOrder) {
    Start();
    atom* pop = DataBase::GetAtom("poUsCa2020M");
    ASSERT_NE(pop, nullptr);
    int nameRow = -1;
    const std::vector<PopRows::Row> rows = PopRows::PopNameRows(pop, nullptr, nameRow);
    ASSERT_GE(rows.size(), 8u);
    const std::vector<std::pair<std::string, std::string>> wanted = {
        {"Julian", "  5"}, {"Benjamin (+Ethan)", "  6"}, {"Ethan (+Benjamin)", "  6"}, {"Elijah", "  8"}};
    for (size_t i = 0; i < wanted.size(); ++i) {
        EXPECT_EQ(rows[4 + i].text, wanted[i].first);
        EXPECT_EQ(rows[4 + i].rank, wanted[i].second);
    }
}

// Both editions name one version and date in their About windows, and their
// database files carry the same version.
TEST_F(EnglishTexts, BothEditionsNameOneVersion) {
    const QRegularExpression versionText(QStringLiteral(R"(^Version (\d+\.\d+), \S+ (\d{4}), Build (\d+)$)"));
    QStringList seen;
    for (const char* edition : {"talvessin", "orsabrine"}) {
        StartProgram(std::string("/x/") + edition);
        auto about = std::make_unique<About>();
        about->Load();
        auto* label = about->Host()->findChild<QLabel*>(QStringLiteral("Version"));
        ASSERT_NE(label, nullptr);
        const auto m = versionText.match(label->text());
        ASSERT_TRUE(m.hasMatch()) << label->text().toStdString();
        seen << m.captured(1) + " " + m.captured(2) + " " + m.captured(3);

        const QString file = QString::fromStdString(BinaryPath(edition[0] == 't' ? "bin/Talv1Dat.bin" : "bin/Orsa1Dat.bin"));
        QFile db(file);
        ASSERT_TRUE(db.open(QIODevice::ReadOnly));
        const QByteArray head = db.read(200);
        const QByteArray wanted = QByteArray(edition[0] == 't' ? "Talvessin V" : "Orsabrine V") + m.captured(1).toLatin1();
        EXPECT_TRUE(head.contains(wanted)) << edition;
        about->Unload();
        about.reset();
        Stop();
    }
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0], seen[1]);
}

}  // namespace
