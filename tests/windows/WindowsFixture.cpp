#include "WindowsFixture.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QTest>
#include <QTextDocument>

#include "Atom.h"
#include "BinFile.h"
#include "DataBase.h"
#include "Fakes.h"
#include "FormControls.h"
#include "windows/info/NameWindows.h"
#include "Options.h"
#include "QtText.h"
#include "Searches.h"
#include "windows/info/Similar.h"
#include "windows/info/SingleName.h"
#include "windows/lists/NameLists.h"
#include "TextConstants.h"
#include "ResultViews.h"
#include "RichTextPane.h"
#include "RtfReader.h"
#include "WinMan.h"

// --- fakes ---------------------------------------------------------------------------

ChildWindow* TestOpener::OpenForm(const std::string& name) {
    if (!Auto::IsKnownName(name)) return nullptr;
    WinMan::OpenForm(name);
    return dynamic_cast<ChildWindow*>(Auto::GetForm(name));
}

ChildWindow* TestOpener::FormByName(const std::string& name) {
    if (!Auto::IsKnownName(name)) return nullptr;
    FormBase* f = Auto::GetForm(name);
    if (f) f->Load();
    return dynamic_cast<ChildWindow*>(f);
}

std::shared_ptr<ResultSet> FakeNameLists::CreateResultSet(const std::string& title) {
    auto rs = std::make_shared<ResultSet>();
    rs->InitInt();
    rs->setPureTitle(title);
    return rs;
}

void FakeNameLists::NewRes(std::shared_ptr<ResultSet> rs) {
    rs->setId(static_cast<int>(lists.size()) + 1);
    lists.push_back(rs);
    WinMan::NotifyAll(2, "");
    Services::HourglassOff();
}

void FakeSingleName::ShowAtomInSet(atom* a, std::shared_ptr<ResultSet> set, bool) {
    shownAtom = a;
    shownSet = std::move(set);
    shownMarked = shownSet ? shownSet->marked() : -2;
    ++shows;
}

TableForm::~TableForm() {
    if (table) table->Unbind();
}

void TableForm::BuildControls() {
    Client()->resize(300, 300);
    view = Add<ListView>("Names");
    view->setGeometry(5, 5, 290, 290);
}

void TableForm::Form_Load() {
    display = std::make_unique<ListViewDisplay>(view);
    table = std::make_shared<ResultSet>();
    table->Init("", nullptr, "", nullptr, display.get());
    table->DefineOneCol("Name");
    view->onClick = Guarded([this] { TableItemToNameWindow(*table); });
    WatchMouseUp(view->viewport());
}

// --- fixture ------------------------------------------------------------------------------

void WindowsTest::SetUpTestSuite() {
    static bool loaded = [] {
        DataBase::InitDataBase();
        return DataBase::ReadBinFile(BinaryPath("bin/Talv1Dat.bin")).ok;
    }();
    ASSERT_TRUE(loaded) << "the sample database is built with the program";
}

void WindowsTest::SetUp() {
    TextConstants::textLanguage = 1;
    TextConstants::LoadTexts();
    Options::ShowToolTips = true;
    Options::ShowSingleInfoLinks = false;
    Options::UserNamesInfo = false;
    area = new QMdiArea;
    area->resize(1100, 800);
    area->show();
    FormBase::SetMdiArea(area);
    WinMan::InitWinMan();
    Auto::Reset();
    NameWindows::Register();
    Searches::InitSearches();
    Searches::SetEnv(Searches::Env{&opener});
}

void WindowsTest::TearDown() {
    WinMan::tutorialRunning = false;
    UnblockLoading();
    WinMan::appClosing = true;  // the list manager only hides otherwise
    Auto::Reset();
    WinMan::appClosing = false;
    Settle();
    Searches::SetEnv({});
    FormBase::SetMdiArea(nullptr);
    delete area;
    area = nullptr;
    Settle();
}

void WindowsTest::ClickAt(QWidget* w, QPoint p) {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, p, w->mapToGlobal(p), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
}

void WindowsTest::TypeKeys(QWidget* w, const std::string& text) {
    for (const QChar c : QtText::ToQt(text)) {
        // A letter's key is its capital's code (Qt::Key_Adiaeresis is 0xC4).
        const auto key = static_cast<Qt::Key>(c.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Click, w, key, QString(c), Qt::NoModifier);
    }
}

bool WindowsTest::ClickLink(RichTextPane* pane, int number) {
    const QTextDocument& doc = *pane->document();
    for (int pos = 0; pos < doc.characterCount(); ++pos)
        if (RtfReader::LinkNumberAt(doc, pos) == QString::number(number)) {
            ClickAt(pane->viewport(), pane->CharRect(pos).center());
            return true;
        }
    return false;
}

void WindowsTest::Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

atom* WindowsTest::A(const std::string& internalName) {
    atom* a = DataBase::GetAtom(internalName);
    EXPECT_NE(a, DataBase::nothingAtom) << internalName;
    return a;
}

SingleName* WindowsTest::OpenNameWindow() {
    WinMan::OpenForm(WindowNames::kSingleName);
    return dynamic_cast<SingleName*>(Auto::GetForm(WindowNames::kSingleName));
}

Similar* WindowsTest::SimilarWindow() {
    auto* s = dynamic_cast<Similar*>(Auto::GetForm(WindowNames::kSimilar));
    return s && s->IsLoaded() ? s : nullptr;
}

void WindowsTest::Lookup(SingleName* w, const std::string& text, bool groups) {
    w->ControlAs<CheckBox>("Groups")->SetValue(groups ? 1 : 0);
    w->ControlAs<TextBox>("CurName")->SetText(text);
    w->ControlAs<CommandButton>("ShowName")->Press();
}

void ListMgrTest::SetUp() {
    WindowsTest::SetUp();
    Options::RegBaseKey = Options::BaseKeyFor(TextConstants::edition);
    Options::ShowToolTips = false;
    Options::ListsNewSortOrder = 1;
    for (bool* o : AutoOptions()) *o = false;
    RegisterListWindows();
    Auto::Register("SingleName", [] { return std::make_unique<FakeSingleName>(); });
}

void ListMgrTest::Produce(const std::string& title, const std::vector<std::string>& atomNames) {
    ResultSet rs;
    rs.InitInt();
    for (const std::string& n : atomNames) rs.AddResult(A(n)->Text(), "hit", A(n));
    Searches::NewRes(title, rs, Searches::kAlone);
}

std::vector<std::string> ListMgrTest::AtomNames(const ResultSet& rs) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < rs.numLines(); ++i) out.push_back(rs.atom(i) ? rs.atom(i)->name() : "-");
    return out;
}
