// What the help pages of each language say about the program, checked on the
// running edition of that language: the menu paths they name, the items the
// main window's page lists for each menu, the captions they quote, the
// defaults and first views they state, their examples from the sample
// database, the limits, times and error codes they give, and the headings of
// the messages' pages.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <functional>
#include <map>
#include <set>

#include "AboutFeedback.h"
#include "Atom.h"
#include "AutoSave.h"
#include "ExportText.h"
#include "FavoriteRules.h"
#include "FileOp.h"
#include "FormControls.h"
#include "FullTextSearch.h"
#include "GenMsg.h"
#include "GenMsgForm.h"
#include "KFrame.h"
#include "LangSearch.h"
#include "LetterCombine.h"
#include "NameConditions.h"
#include "NewNames.h"
#include "ProgramFixture.h"
#include "QtText.h"
#include "QuizRound.h"
#include "ResultSet.h"
#include "windows/info/NameDays.h"
#include "windows/info/SingleName.h"
#include "windows/lists/Quiz.h"

namespace {

struct Edition {
    const char* argv0;
    const char* folder;  // of its help pages
};
const Edition kEditions[] = {{"/x/talvessin", ""}, {"/x/orsabrine", "/de"}};

using Match = QRegularExpressionMatch;
using Texts = QSet<QString>;

// A page's text with its entities resolved, on one line with single blanks.
QString Decoded(QString s) {
    s.replace("&gt;", ">").replace("&lt;", "<").replace("&quot;", "\"").replace("&nbsp;", " ");
    return s.replace("&amp;", "&").simplified();
}

// A caption as a page quotes it: no access key, no keys after a tab, no
// count, no trailing "..." or ":", single blanks, lower case.
QString Plain(QString s) {
    s = s.section('\t', 0, 0);
    s.remove('&').remove(QRegularExpression(QStringLiteral("<[^>]*>|\\d+")));
    s = s.simplified();
    while (s.endsWith('.') || s.endsWith(':')) s.chop(1);
    return s.trimmed().toLower();
}

// Every page of a help folder by file name, decoded.
std::map<QString, QString> Pages(const char* folder) {
    std::map<QString, QString> pages;
    QDir dir(QString::fromUtf8(SOURCE_DIR) + "/data/help" + folder);
    for (const QString& file : dir.entryList({QStringLiteral("*.html")}, QDir::Files)) {
        QFile f(dir.filePath(file));
        if (f.open(QIODevice::ReadOnly)) pages[file.chopped(5)] = Decoded(QString::fromUtf8(f.readAll()));
    }
    return pages;
}

// Runs check on each match of pattern in the page, noting where it stood.
int ForEach(const QString& page, const QString& where, const char* pattern,
            const std::function<void(const Match&)>& check) {
    int n = 0;
    for (auto it = QRegularExpression(QString::fromUtf8(pattern)).globalMatch(page); it.hasNext(); ++n) {
        const Match m = it.next();
        SCOPED_TRACE(where.toStdString() + ": " + m.captured(0).toStdString());
        check(m);
    }
    return n;
}

// Every caption a window shows: buttons, frames, labels, the entries of its
// boxes and lists and its title, plain.
Texts TextsOf(QWidget* host) {
    Texts texts{Plain(host->windowTitle())};
    for (auto* v : host->findChildren<QAbstractItemView*>())
        for (int i = 0; v->model() != nullptr && i < v->model()->rowCount(); ++i)
            texts << Plain(v->model()->index(i, 0).data().toString());
    for (auto* b : host->findChildren<QAbstractButton*>()) texts << Plain(b->text()) << Plain(b->toolTip());
    for (auto* g : host->findChildren<QGroupBox*>()) texts << Plain(g->title());
    for (auto* l : host->findChildren<QLabel*>()) texts << Plain(l->text());
    for (auto* c : host->findChildren<QComboBox*>())
        for (int i = 0; i < c->count(); ++i) texts << Plain(c->itemText(i));
    return texts;
}

class HelpClaims : public RunningProgram {
protected:
    // The window of that name as it first opens on the default options.
    FormBase* Open(const std::string& name) {
        WinMan::OpenForm(name);
        FormBase* form = Auto::GetForm(name);
        if (form != nullptr && !form->IsLoaded()) form->Load();
        return form != nullptr && form->Host() != nullptr ? form : nullptr;
    }
    // The frame's menus by their plain titles, with their items.
    std::map<QString, std::vector<QAction*>> Menus() const {
        std::map<QString, std::vector<QAction*>> menus;
        for (QAction* m : program->Frame()->MainWindow()->menuBar()->actions())
            if (m->menu() != nullptr)
                for (QAction* a : m->menu()->actions())
                    if (!a->isSeparator()) menus[Plain(m->text())].push_back(a);
        return menus;
    }
    // The captions of each window of the running edition; "" holds them all,
    // "menus" the frame's menus and items.
    std::map<QString, Texts> AllTexts() {
        std::map<QString, Texts> all;
        all[""] = TextsOf(program->Frame()->MainWindow());
        for (const auto& [menu, items] : Menus()) {
            all["menus"] << menu;
            for (QAction* a : items) all["menus"] << Plain(a->text());
        }
        About about;
        about.Load();
        all["About"] = TextsOf(about.Host());
        all[""] += all["About"];
        about.Unload();
        for (const std::string& name : Auto::AvailableNames()) {
            FormBase* form = Auto::GetForm(name);
            if (form == nullptr) continue;
            form->Load();
            if (form->Host() != nullptr) {
                all[QString::fromStdString(name)] = TextsOf(form->Host());
                all[""] += all[QString::fromStdString(name)];
            }
            if (form->kind() != FormBase::Kind::TopLevel) form->Unload();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        return all;
    }
    // The text the description pane of the Name/Group window shows for a typed name.
    QString Described(const QString& name) {
        auto* w = dynamic_cast<SingleName*>(Open("SingleName"));
        if (w == nullptr) return {};
        w->ControlAs<TextBox>("CurName")->SetText(QtText::FromQt(name));
        w->ShowName_Click();
        return w->ControlAs<QTextEdit>("Text")->toPlainText().simplified();
    }
    static atom* NameAtom(const QString& text) {
        for (int32_t id = 0; id < DataBase::numAtoms; ++id)
            if (atom* a = DataBase::atomTab[static_cast<size_t>(id)];
                a && a->isName() && QtText::ToQt(a->Text()) == text)
                return a;
        return nullptr;
    }
};

// Every menu path a page names ("Lists > Manage", "Export... in the Lists
// menu") is a menu and an item of the frame of that language, and the main
// window's page names, for each menu, every item in it.
TEST_F(HelpClaims, MenuPathsAndTheMenusItemsAreTheFrames) {
    for (const Edition& e : kEditions) {
        StartProgram(e.argv0);
        const std::map<QString, std::vector<QAction*>> menus = Menus();
        auto hasItem = [&](const QString& menu, const QString& item) {
            auto it = menus.find(Plain(menu));
            return it != menus.end() && std::any_of(it->second.begin(), it->second.end(),
                                                    [&](QAction* a) { return Plain(a->text()) == Plain(item); });
        };
        int paths = 0;
        for (const auto& [file, page] : Pages(e.folder)) {
            const QString where = e.folder + ("/" + file);
            paths += ForEach(page, where, R"(<b>([^<]+?) > ([^<]+?)</b>|\(<b>([^<]+)</b> menu, <b>([^<]+)</b>\))",
                             [&](const Match& m) {
                                 const int c = m.hasCaptured(1) ? 1 : 3;
                                 EXPECT_TRUE(hasItem(m.captured(c), m.captured(c + 1)));
                             });
            paths += ForEach(page, where, R"(<b>([^<]+)</b> (?:in the|im Men\x{00fc}) <b>([^<]+)</b>)",
                             [&](const Match& m) { EXPECT_TRUE(hasItem(m.captured(2), m.captured(1))); });
            paths +=
                ForEach(page, where, R"((?:menu|Men\x{00fc}) <b>([^<>]+)</b>|the <b>([^<>]+)</b> menu)",
                        [&](const Match& m) { EXPECT_TRUE(menus.count(Plain(m.captured(m.hasCaptured(1) ? 1 : 2)))); });
        }
        EXPECT_GE(paths, 30) << e.folder;

        // The main window's list of menus: a word of each item's caption
        // stands in its menu's line (the contents item is the pages themselves).
        const QString frame = Pages(e.folder)["KFrame"];
        const QString list =
            frame.section(QRegularExpression(QStringLiteral("<h3>Men")), 1, 1).section(QStringLiteral("</ul>"), 0, 0);
        int lines = 0;
        ForEach(list, e.folder + QStringLiteral("/KFrame"), R"(<li><b>([^<]+)</b>:(.*?)</li>)", [&](const Match& m) {
            ++lines;
            const QString line = Plain(m.captured(2)).remove(' ');
            auto it = menus.find(Plain(m.captured(1)));
            ASSERT_NE(it, menus.end());
            for (QAction* item : it->second) {
                if (item == program->Frame()->MenuAction("HelpFunc")) continue;
                const QStringList words =
                    Plain(item->text())
                        .split(
                            QRegularExpression(QStringLiteral("\\W+"), QRegularExpression::UseUnicodePropertiesOption));
                EXPECT_TRUE(std::any_of(words.begin(), words.end(), [&](const QString& w) {
                    return w.size() >= 4 && line.contains(w.left(6));
                })) << item->text().toStdString();
            }
        });
        EXPECT_EQ(lines, static_cast<int>(menus.size())) << e.folder;
        // The same page: no two items of one menu share an underlined letter,
        // so typing it runs its item at once.
        for (const auto& [menu, items] : menus) {
            std::set<int> letters;
            for (QAction* a : items) {
                const QKeySequence key = QKeySequence::mnemonic(a->text());
                if (!key.isEmpty()) {
                    EXPECT_TRUE(letters.insert(key[0].toCombined()).second) << a->text().toStdString();
                }
            }
        }
        Stop();
    }
}

// The main window's page: the keys it gives a command of the Windows menu
// are the keys that command answers ("Ctrl+Tab or Ctrl+F6 ... (Windows menu,
// Switch Window)"), and the commands it calls gray while no window is open
// are so, and are available again once a window is.
TEST_F(HelpClaims, TheWindowsMenusKeysAndGrayCommandsAreTheFrames) {
    for (const Edition& e : kEditions) {
        StartProgram(e.argv0);
        const auto menus = Menus();
        auto item = [&menus](const QString& caption) -> QAction* {
            for (const auto& [menu, items] : menus)
                for (QAction* a : items)
                    if (Plain(a->text()) == Plain(caption)) return a;
            return nullptr;
        };
        const QString page = Pages(e.folder)["KFrame"], where = e.folder + QStringLiteral("/KFrame");
        const int keys = ForEach(
            page, where,
            R"(((?:<span class="key">[^<]+</span> (?:or|oder) )*<span class="key">[^<]+</span>)(?:(?!<span)[^()])*)"
            R"(\((?:<b>[^<]+</b> menu, <b>([^<]+)</b>|<b>([^<]+)</b> im Men\x{00fc} <b>[^<]+</b>)\))",
            [&](const Match& m) {
                QAction* a = item(m.captured(m.hasCaptured(2) ? 2 : 3));
                ASSERT_NE(a, nullptr);
                QStringList stated, answered;
                ForEach(m.captured(1), where, R"(key">([^<]+)<)", [&](const Match& k) {
                    stated << QKeySequence(k.captured(1).replace("Strg", "Ctrl").replace("Umschalt", "Shift")).toString();
                });
                for (const QKeySequence& s : a->shortcuts()) answered << s.toString();
                EXPECT_EQ(stated.join(' ').toStdString(), answered.join(' ').toStdString());
            });
        EXPECT_GE(keys, 3) << e.folder;

        program->Frame()->ItemClick("CloseAllFunc");
        std::vector<QAction*> gray;
        ForEach(page, where,
                R"(((?:<b>[^<]+</b>(?:, | and | und ))*<b>[^<]+</b>) )"
                R"((?:are gray while no window is open|sind grau, solange kein Fenster offen ist))",
                [&](const Match& m) {
                    ForEach(m.captured(1), where, R"(<b>([^<]+)</b>)", [&](const Match& b) {
                        QAction* a = item(b.captured(1));
                        ASSERT_NE(a, nullptr);
                        EXPECT_FALSE(a->isEnabled());
                        gray.push_back(a);
                    });
                });
        EXPECT_EQ(gray.size(), 6U) << e.folder;  // the whole Windows menu but its list
        program->Frame()->ShowForm("SingleName");
        for (QAction* a : gray) EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
        Stop();
    }
}

// A caption a page quotes is where it says: what closes a window is a button
// of that window; what the reader clicks or chooses is a caption of some
// window. A message's page names the controls of the window that shows it.
TEST_F(HelpClaims, QuotedCaptionsAreOnTheirWindows) {
    // Messages that one window shows, whose remedy lies in that window.
    const std::map<QString, QString> messageWindow = {{"GMtooManyRandom", "PickRandom"},
                                                      {"GMfavFull", "Favorites"},
                                                      {"GMprintFailed", "PrintOptions"},
                                                      {"GMnothingFound", "SingleName"}};
    const Texts answers = {"yes", "no", "ja", "nein", "ok"};
    for (const Edition& e : kEditions) {
        StartProgram(e.argv0);
        std::map<QString, Texts> texts = AllTexts();
        int claims = 0;
        for (const auto& [file, page] : Pages(e.folder)) {
            const QString where = e.folder + ("/" + file);
            const Texts& own = texts[messageWindow.count(file) ? messageWindow.at(file) : file];
            claims += ForEach(page, where, R"(<b>([^<]+)</b> (?:closes|schliesst))",
                              [&](const Match& m) { EXPECT_TRUE(own.contains(Plain(m.captured(1)))); });
            claims += ForEach(
                page, where,
                R"((?:[Cc]lick|[Cc]hoose|[Kk]lick(?:en Sie| auf|en Sie auf)|[Ww]\x{00e4}hlen Sie|[Ss]chaltfl\x{00e4}che) <b>([^<]+)</b>)",
                [&](const Match& m) { EXPECT_TRUE(texts[""].contains(Plain(m.captured(1)))); });
            if (!messageWindow.count(file)) continue;
            const int quoted = ForEach(page, where, R"(<b>([^<]+)</b>)", [&](const Match& m) {
                const QString caption = Plain(m.captured(1));
                EXPECT_TRUE(answers.contains(caption) || own.contains(caption) || texts["menus"].contains(caption));
            });
            EXPECT_GE(quoted, 1) << where.toStdString() << " names no control of "
                                 << messageWindow.at(file).toStdString();
        }
        EXPECT_GE(claims, 40) << e.folder;
        Stop();
    }
}

// What a page says a window shows before the user changes anything: the
// values to leave as they are, the letter or entry it opens on.
TEST_F(HelpClaims, StatedDefaultsAreTheWindowsFirstView) {
    for (const Edition& e : kEditions) {
        StartProgram(e.argv0);
        int claims = 0;
        for (const auto& [file, page] : Pages(e.folder)) {
            const QString where = e.folder + ("/" + file);
            claims +=
                ForEach(page, where, R"((?:leave|lassen) (?:both |the |beide |die )?(\w+) (?:at|auf) (\d+))",
                        [&](const Match& m) {
                            FormBase* form = Open(file.toStdString());
                            ASSERT_NE(form, nullptr);
                            // The boxes beside the labels that name the word.
                            const QString word = m.captured(1).toLower().chopped(m.captured(1).endsWith('s') ? 1 : 0);
                            int boxes = 0;
                            for (auto* label : form->Host()->findChildren<QLabel*>()) {
                                if (!Plain(label->text()).contains(word)) continue;
                                for (auto* box : form->Host()->findChildren<QLineEdit*>())
                                    if (std::abs(box->geometry().center().y() - label->geometry().center().y()) < 8) {
                                        ++boxes;
                                        EXPECT_EQ(box->text(), m.captured(2)) << label->text().toStdString();
                                    }
                            }
                            EXPECT_GE(boxes, 1);
                        });
            claims += ForEach(
                page, where,
                R"((?:opens on|beginnt mit) (?:the letter |dem Buchstaben )(\w)\b|(?:opens on|beginnt mit) <b>([^<]+)</b>)",
                [&](const Match& m) {
                    FormBase* form = Open(file.toStdString());
                    ASSERT_NE(form, nullptr);
                    QStringList shown;
                    for (auto* g : form->Host()->findChildren<QGroupBox*>()) shown << g->title();
                    for (auto* c : form->Host()->findChildren<QComboBox*>()) shown << c->currentText();
                    const QString wanted = m.hasCaptured(1) ? "'" + m.captured(1) + "'" : m.captured(2);
                    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [&](const QString& s) {
                        return m.hasCaptured(1) ? s.contains(wanted) : s == wanted;
                    })) << shown.join('|').toStdString();
                });
        }
        EXPECT_GE(claims, 2) << e.folder;
        Stop();
    }
}

// The examples the pages give hold on the sample database: what a search
// condition finds and the marks it shows, what a description shows, the
// groups a full-text search lists, the languages that find no name and those
// to choose instead, the decades of a series, the names of a saint, the topics.
TEST_F(HelpClaims, ExamplesHoldOnTheSampleDatabase) {
    for (const Edition& e : kEditions) {
        StartProgram(e.argv0);
        auto pages = Pages(e.folder);
        int claims = 0;
        // Lexi: "(Elisabeth finds Elizabeth)" under the condition it explains.
        claims += ForEach(
            pages["Lexi"], e.folder + QStringLiteral("/Lexi"), R"(<li><b>([^<]+)</b>(.*?)</li>)", [&](const Match& li) {
                int code = 1;
                while (code < Query::NameConditions::kNumCodes &&
                       Plain(QtText::ToQt(Query::NameConditions::Caption(code))) != Plain(li.captured(1)))
                    ++code;
                ForEach(li.captured(2), QStringLiteral("Lexi"), R"((?:<b>)?([\w*?]+)(?:</b>)? (?:finds|findet) (\w+))",
                        [&](const Match& m) {
                            ASSERT_LT(code, Query::NameConditions::kNumCodes);
                            atom* name = NameAtom(m.captured(2));
                            ASSERT_NE(name, nullptr);
                            Query::NameConditions engine;
                            EXPECT_TRUE(engine.MatchCond(name, code, QtText::FromQt(m.captured(1).toUpper()), false));
                        });
            });
        // Lexi: the marks of a hit ("AN___ for Anton" under "starts with").
        claims += ForEach(pages["Lexi"], e.folder + QStringLiteral("/Lexi"), R"(<b>([A-Z]+)_+</b> (?:for|bei) (\w+))",
                          [&](const Match& m) {
                              atom* name = NameAtom(m.captured(2));
                              ASSERT_NE(name, nullptr);
                              Query::NameConditions engine;
                              engine.SetRows({{{1, QtText::FromQt(m.captured(1))}}}, true);
                              ASSERT_TRUE(engine.TakeA(name));
                              EXPECT_EQ(QtText::ToQt(engine.marks()), m.captured(0).section("<b>", 1).section("</b>", 0, 0));
                          });
        // FullText: the groups an example search lists, with the text each
        // shows; two groups named together share one origin, so one hit
        // brings both with the same text.
        claims += ForEach(
            pages["FullText"], e.folder + QStringLiteral("/FullText"),
            R"((?:Choose|W\x{00e4}hlen Sie) <b>([^<]+)</b> (?:and type|und geben Sie) <b>([^<]+)</b>.*?(?:groups such as|Gruppen wie) (.*?)\.</p>)",
            [&](const Match& m) {
                int code = 1;
                while (code < Query::FullTextSearch::kNumCodes &&
                       Plain(QtText::ToQt(Query::FullTextSearch::Caption(code))) != Plain(m.captured(1)))
                    ++code;
                ResultSet found;
                Query::FullTextSearch().Search({{{code, QtText::FromQt(m.captured(2))}}}, true, found);
                auto reasonOf = [&found](const QString& group) {
                    for (int32_t i = 0; i < found.numLines(); ++i)
                        if (QtText::ToQt(found.atom(i)->Text()) == group) return found.reason(i);
                    return std::string("(not found)");
                };
                const int groups = ForEach(
                    m.captured(3), QStringLiteral("FullText"),
                    R"((\w+)(?: (?:and|und) (\w+))? \(["\x{201e}]([^"\x{201c}]+)["\x{201c}]\))", [&](const Match& g) {
                        EXPECT_NE(reasonOf(g.captured(1)), "(not found)");
                        EXPECT_TRUE(Described(g.captured(1)).contains(g.captured(3)));
                        if (g.hasCaptured(2)) {
                            EXPECT_EQ(reasonOf(g.captured(2)), reasonOf(g.captured(1)));
                        }
                    });
                EXPECT_GE(groups, 3);
            });
        // Lang: the families offered among the main languages find no name of
        // origin; the languages named instead do, and belong to them.
        claims += ForEach(
            pages["Lang"], e.folder + QStringLiteral("/Lang"),
            R"(<b>([^<]+)</b> (?:and|und) <b>([^<]+)</b>,? (?:though offered among|obwohl unter) (?:the main languages|den wichtigsten Sprachen angeboten), (?:find no name|keinen Namen).*?(?:instead, such as|stattdessen eine ihrer Sprachen, etwa) (.*?)\.)",
            [&](const Match& m) {
                std::map<QString, atom*> main, all;  // the language box's entries
                bool below = false;
                for (const DataBase::LangComboItem& item : DataBase::FillLangCombo(true, false)) {
                    below |= item.text == std::string(12, '_');
                    (below ? all : main)[QtText::ToQt(item.text)] = DataBase::GetComboLang(item.itemData);
                }
                auto origins = [](atom* lang) {
                    ResultSet found;
                    Query::LangSearch::Search({{{1, lang}}}, true, found);
                    return found.numLines();
                };
                for (int i : {1, 2}) {
                    ASSERT_TRUE(main.count(m.captured(i))) << m.captured(i).toStdString();
                    EXPECT_EQ(origins(main[m.captured(i)]), 0) << m.captured(i).toStdString();
                }
                const int instead = ForEach(m.captured(3), QStringLiteral("Lang"), R"(<b>([^<]+)</b>)", [&](const Match& l) {
                    atom* lang = all.count(l.captured(1)) ? all[l.captured(1)] : nullptr;
                    ASSERT_NE(lang, nullptr);
                    EXPECT_GT(origins(lang), 0);
                    bool inFamily = false;
                    for (atom* a = lang; a != nullptr && !inFamily;) {
                        inFamily = a == main[m.captured(1)] || a == main[m.captured(2)];
                        const Prop* up = a->FirstProp(DataBase::prSubsetOf);
                        a = up != nullptr && up->kind() != 1 ? up->atomVal() : nullptr;
                    }
                    EXPECT_TRUE(inFamily);
                });
                EXPECT_GE(instead, 4);
            });
        // Pop: a series "decade after decade" holds hit parades of ten years each.
        claims += ForEach(
            pages["Pop"], e.folder + QStringLiteral("/Pop"),
            R"((?:for|bei) ["\x{201e}]([^"\x{201c}]+)["\x{201c}],? (?:decade after decade|Jahrzehnt f\x{00fc}r Jahrzehnt))",
            [&](const Match& m) {
                FormBase* pop = Open("Pop");
                ASSERT_NE(pop, nullptr);
                auto* series = pop->ControlAs<ComboBox>("CurPopSeries");
                series->SetListIndex(series->findText(m.captured(1)));
                ASSERT_GE(series->ListIndex(), 0);
                auto* parades = pop->ControlAs<ComboBox>("CurPop");
                ASSERT_GE(parades->ListCount(), 1);
                for (int i = 0; i < parades->ListCount(); ++i) {
                    const Match years = QRegularExpression(QStringLiteral("(\\d{4})-(\\d{4})"))
                                            .match(QtText::ToQt(parades->List(i)));
                    ASSERT_TRUE(years.hasMatch()) << parades->List(i);
                    EXPECT_EQ(years.captured(1).toInt() % 10, 0);
                    EXPECT_EQ(years.captured(2).toInt() - years.captured(1).toInt(), 9);
                }
            });
        for (const auto& [file, page] : pages) {
            const QString where = e.folder + ("/" + file);
            // A description quoted: "John shows "USA(1900: 1)"".
            claims += ForEach(
                page, where, R"re(<i>([^<]+)</i> (?:shows|steht) (?:"([^"]+)"|\x{201e}([^\x{201c}]+)\x{201c}))re",
                [&](const Match& m) {
                    EXPECT_TRUE(Described(m.captured(1)).contains(m.captured(m.hasCaptured(2) ? 2 : 3).simplified()));
                });
            // Topics named as examples are topics of the Topic window.
            claims += ForEach(page, where, R"((?:[Tt]opics?,? such as|Themen\w*,? (?:zu )?(?:wie|etwa)) ([^.:;<(]+))",
                              [&](const Match& m) {
                                  FormBase* realm = Open("Realm");
                                  ASSERT_NE(realm, nullptr);
                                  auto* topics = realm->Host()->findChild<QComboBox*>();
                                  for (QString topic :
                                       m.captured(1).split(QRegularExpression(QStringLiteral(",? or |,? oder |, ")))) {
                                      bool found = false;
                                      for (int i = 0; i < topics->count(); ++i)
                                          found |= topics->itemText(i).startsWith(topic.trimmed(), Qt::CaseInsensitive);
                                      EXPECT_TRUE(found) << topic.toStdString();
                                  }
                              });
        }
        // NameDays: the names a saint's description is said to name.
        claims +=
            ForEach(pages["NameDays"], e.folder + QStringLiteral("/NameDays"),
                    R"(<i>([^<]+)</i> (?:on|am) [^<]*.*?(?:description names|Beschreibung nennt) (.*?) (?:as|als) )",
                    [&](const Match& m) {
                        auto* days = dynamic_cast<NameDays*>(Open("NameDays"));
                        ASSERT_NE(days, nullptr);
                        for (int32_t i = 0; i < days->saints()->numLines(); ++i)
                            if (QtText::ToQt(days->saints()->atom(i)->Text()) == m.captured(1))
                                days->ShowAtom(days->saints()->atom(i));
                        QStringList names;
                        for (int32_t i = 0; i < days->description()->numLines(); ++i)
                            if (atom* a = days->description()->atom(i); a && a->isName())
                                names << QtText::ToQt(a->Text());
                        ForEach(m.captured(2), QStringLiteral("NameDays"), R"(<i>([^<]+)</i>)", [&](const Match& name) {
                            EXPECT_TRUE(names.contains(name.captured(1))) << names.join('|').toStdString();
                        });
                    });
        EXPECT_GE(claims, 9) << e.folder;
        Stop();
    }
}

// A number as a page writes it: "35", "1,000", "20 000", "three", "drei".
int Number(QString text) {
    static const QStringList words = {"one", "two", "three", "four", "five", "ein", "zwei", "drei", "vier", "f\u00fcnf"};
    if (const int i = words.indexOf(text.toLower()); i >= 0) return i % 5 + 1;
    return text.remove(',').remove(' ').toInt();
}

// The limits, times and error codes a page gives are the program's: the
// lengths its fields take, how large a list the export asks about, the
// latest a change is saved, the code in a disk message.
TEST_F(HelpClaims, StatedFiguresAreTheProgramsOwn) {
    // The first n for which the export of descriptions asks (in that format).
    auto asksFrom = [](int format) {
        int n = 0;
        while (n < 100000 && !ExportText::AsksFirst(format, ExportText::kDescr, n)) ++n;
        return n - 1;
    };
    // A change just after a minute begins is saved by the first tick after
    // the clock's minute has moved on far enough: the save timer's interval
    // after that.
    auto latestSaveMinutes = [this](const std::string& window) {
        int due = 0;
        while (due < 60 && !AutoSave::MinuteSaveDue(due, 0)) ++due;
        FormBase* form = Open(window);
        int interval = 0;
        for (const QTimer* t : form->Host()->findChildren<QTimer*>()) interval = std::max(interval, t->interval());
        return (due * 60000 + interval + 59999) / 60000;  // whole minutes, rounded up
    };
    auto maxLength = [this](const std::string& window, const char* control, int index = -1) {
        FormBase* form = Open(window);
        auto* box = form ? form->ControlAs<QLineEdit>(control, index) : nullptr;
        return box ? box->maxLength() : -1;
    };
    const QString number = QStringLiteral(R"((\d+(?:[, ]\d{3})*|[a-z]+))");
    for (const Edition& e : kEditions) {
        StartProgram(e.argv0);
        const std::vector<int> exportAsks = {asksFrom(ExportText::kText), asksFrom(ExportText::kRtfBW)};
        const char* asks = R"((?:more than|mehr als) # (?:names|Namen) \((?:for RTF, more than|bei RTF: mehr als) #\))";
        const int name = static_cast<int>(NewNames::kMaxName), info = static_cast<int>(NewNames::kMaxInfo);
        const struct {
            const char* page;
            const char* pattern;  // # stands for a number
            std::vector<int> values;
        } claims[] = {
            {"UserNames", R"((?:up to|bis zu) # (?:characters, with|Zeichen, mit))",
             {maxLength("UserNames", "CurName")}},
            {"UserNames", R"((?:up to|je bis zu) # (?:characters each|Zeichen\)))", {maxLength("UserNames", "German")}},
            {"GMuserTextCut", R"(# (?:characters for a name|Zeichen f\x{00fc}r einen Namen), #)", {name, info}},
            {"Favorites", R"((?:holds up to|fasst bis zu) #|(?:at most|h\x{00f6}chstens) #\))",
             {FavoriteRules::kMaxFavorites}},
            {"Favorites", R"(\((?:up to|bis) # (?:characters|Zeichen)\))", {maxLength("Favorites", "Comment")}},
            {"GMtooManyFav", R"((?:can hold|fassen kann) \(#\))", {FavoriteRules::kMaxFavorites}},
            {"LetterMix", R"((?:of up to|je bis zu) # (?:characters|Zeichen))", {maxLength("LetterMix", "Letters", 0)}},
            {"QuizOptions", R"((?:Minutes|Minuten)</b>,? [^(]*\((?:up to|h\x{00f6}chstens) #\))",
             {QuizRound::kMaxMinutes}},
            {"QuizOptions", R"((?:questions the round has|Fragen die Runde hat) \((?:up to|h\x{00f6}chstens) #\))",
             {QuizRound::kMaxQuestions}},
            {"QuizOptions", R"((?:up to|je h\x{00f6}chstens) #(?: of each)?\.</li>)", {QuizRound::kMaxJokers}},
            {"Export", asks, exportAsks},
            {"GMexportMany", asks, exportAsks},
            {"UserNames", R"((?:at the latest|sp\x{00e4}testens) # (?:minutes|Minuten))",
             {latestSaveMinutes("UserNames")}},
            {"Favorites", R"((?:at the latest|sp\x{00e4}testens) # (?:minutes|Minuten))",
             {latestSaveMinutes("Favorites")}},
        };
        auto pages = Pages(e.folder);
        for (const auto& c : claims) {
            const QString where = e.folder + ("/" + QString::fromUtf8(c.page));
            const QByteArray pattern = QString::fromUtf8(c.pattern).replace("#", number).toUtf8();
            const int found = ForEach(pages[c.page], where, pattern.constData(), [&](const Match& m) {
                std::vector<int> stated;
                for (int i = 1; i <= m.lastCapturedIndex(); ++i)
                    if (m.hasCaptured(i)) stated.push_back(Number(m.captured(i)));
                EXPECT_EQ(stated, c.values);
            });
            EXPECT_GE(found, 1) << where.toStdString() << " no longer says " << c.pattern;
        }
        Stop();
    }

    // A disk message's page names every error code the program shows with
    // it ("here 70 or 75", "53: there is no file ..."), and no other.
    std::map<int, std::set<int>> codes;
    for (int err = 1; err < 256; ++err)
        if (const int n = FileOp::ErrorFromErrno(err)) {
            bool asked = false;
            codes[GenMsg::DiskErrorMessage(n, asked)].insert(n);
        }
    bool asked = false;
    codes[GenMsg::DiskErrorMessage(FileOp::kErrNotAFile, asked)].insert(FileOp::kErrNotAFile);
    for (const Edition& e : kEditions) {
        auto pages = Pages(e.folder);
        for (const auto& [msg, numbers] : codes) {
            const std::string entry = GenMsg::Entry(msg, true);
            const QString tag = QString::fromStdString(entry.substr(1, entry.find('>') - 1));
            std::set<int> stated;
            ForEach(pages[tag], e.folder + ("/" + tag), R"((?:here|hier) (\d+)(?: (?:or|oder) (\d+))?|<li>(\d+): )",
                    [&](const Match& m) {
                        for (int i = 1; i <= 3; ++i)
                            if (m.hasCaptured(i)) stated.insert(m.captured(i).toInt());
                    });
            EXPECT_EQ(stated, numbers) << e.folder << "/" << tag.toStdString();
        }
    }
}

// What a page says the keys do in a window is what they do there: the box a
// window opens with the keyboard in, the quiz's answers as one group of the
// arrow keys with Enter giving the answer at once, and the address of a
// message reached by Tab, selected, and copied with Ctrl+C.
TEST_F(HelpClaims, TheKeysDoWhatThePagesSay) {
    const std::string address = "https://example.org/quillmarsh/";
    for (const Edition& e : kEditions) {
        StartProgram(e.argv0);
        QApplication::setActiveWindow(program->Frame()->MainWindow());
        Options::QuizUseLimit = false;  // no clock runs
        auto quiz = [this] {
            if (FormBase* f = Auto::GetForm("Quiz"); f && f->IsLoaded()) return f;
            return Open("Quiz");
        };
        auto answer = [&quiz](int i) { return quiz()->Control("Answer" + std::to_string(i)); };
        auto tabStops = [&] {
            int n = 0;
            for (int i = 0; i < QuizRound::kNumAnswers; ++i) n += (answer(i)->focusPolicy() & Qt::TabFocus) ? 1 : 0;
            return n;
        };
        auto round = [&quiz] { return &static_cast<const Quiz*>(quiz())->round(); };
        GenMsgForm message;
        auto messageText = [&message] { return message.findChild<QTextEdit*>("MsgText"); };
        const struct {
            const char* page;
            const char* pattern;
            std::function<void(const Match&)> check;
        } claims[] = {
            {"UserNames",
             R"(<li><b>([^<]+)</b>:[^<]*(?:The window opens with the keyboard in this field|)"
             R"(Das Fenster \x{00f6}ffnet sich mit der Tastatur in diesem Feld))",
             [this](const Match& m) {
                 program->Frame()->ShowForm("UserNames");
                 auto* box = qobject_cast<QGroupBox*>(QApplication::focusWidget()->parentWidget());
                 ASSERT_NE(box, nullptr);
                 EXPECT_EQ(Plain(box->title()), Plain(m.captured(1)));
             }},
            {"Quiz",
             R"((?:the answers are one stop of|die Antworten ein einziger Halt von) <span class="key">Tab</span>, )"
             R"((?:as the option buttons|wie die Optionsfelder)[^<]*(?:<span class="key">Space</span>|Leertaste)[^<]*)"
             R"((?:<span class="key">Enter</span> gives that answer at once|Eingabetaste gibt diese Antwort sofort))",
             [&](const Match&) {
                 EXPECT_EQ(tabStops(), 1);
                 answer(0)->setFocus(Qt::TabFocusReason);
                 QTest::keyClick(answer(0), Qt::Key_Down);
                 EXPECT_EQ(round()->selected(), 1);
                 QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
                 QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                 EXPECT_EQ(round()->selected(), 2);
                 EXPECT_FALSE(round()->questionOpen());
             }},
            {"GMnoProgramForAddress",
             R"(<span class="key">Tab</span>,? (?:until the keyboard reaches it, which selects it|)"
             R"(bis die Tastatur sie erreicht, was sie markiert)[^<]*<b>[^<]+</b>, (?:or|oder) )"
             R"(<span class="key">(?:Ctrl|Strg)\+C</span>)",
             [&](const Match&) {
                 message.Prepare(GenMsg::Compose(GenMsg::MsgTable[GenMsg::GMnoProgramForAddress],
                                                 GenMsg::GMnoProgramForAddress, 3, address, 0, false)
                                     .message);
                 message.show();
                 QApplication::setActiveWindow(&message);
                 QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
                 ASSERT_EQ(QApplication::focusWidget(), messageText());
                 QTest::keyClick(messageText(), Qt::Key_C, Qt::ControlModifier);
                 EXPECT_EQ(QApplication::clipboard()->text().toStdString(), address);
                 message.hide();
             }},
        };
        auto pages = Pages(e.folder);
        for (const auto& c : claims) {
            const QString where = e.folder + ("/" + QString::fromUtf8(c.page));
            EXPECT_EQ(ForEach(pages[c.page], where, c.pattern, c.check), 1)
                << where.toStdString() << " no longer says " << c.pattern;
        }
        EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{});
        Stop();
    }
}

// Each message's page is headed by the kind of message and its subject as the
// index lists it: "Question:" for the messages that ask, "Note:" for the
// notes, "Message:" for the rest (German "Frage:", "Hinweis:", "Meldung:"),
// and the page's title is its heading.
TEST(HelpPages, AMessagesPageIsHeadedByItsKindAndTheSubjectTheIndexLists) {
    for (const Edition& e : kEditions) {
        const bool english = *e.folder == '\0';
        auto pages = Pages(e.folder);
        std::map<QString, QString> listed;  // page -> the index's words for it
        ForEach(pages["index"], QStringLiteral("index"), R"(<a href="(GM\w+)\.html">([^<]+)</a>)",
                [&](const Match& m) { listed[m.captured(1)] = m.captured(2); });
        int headings = 0;
        for (int id = 0; id < GenMsg::kNumMessages; ++id) {
            const std::string entry = GenMsg::Entry(id, english);
            if (entry.empty()) continue;
            const QString tag = QString::fromStdString(entry.substr(1, entry.find('>') - 1));
            const std::string text = entry.substr(entry.find('>') + 1);
            const char* kind = text.find('?') != std::string::npos                ? (english ? "Question" : "Frage")
                               : text.starts_with(english ? "Note:" : "Hinweis:") ? (english ? "Note" : "Hinweis")
                                                                                   : (english ? "Message" : "Meldung");
            const QString& page = pages[tag];
            const std::string title = page.section("<title>", 1).section("</title>", 0, 0).toStdString();
            SCOPED_TRACE(e.folder + ("/" + tag.toStdString()));
            EXPECT_EQ(page.section("<h2>", 1).section("</h2>", 0, 0).toStdString(), title);
            EXPECT_EQ(title, kind + (": " + listed[tag].toStdString()));
            ++headings;
        }
        EXPECT_GE(headings, 30) << e.folder;
    }
}

}  // namespace
