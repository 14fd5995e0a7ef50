// What every child window builds its controls with: the client area of the
// designed size, whatever frame the window gets around it, and the frames,
// labels and buttons with their captions in the program's code page.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QAbstractScrollArea>
#include <QTest>

#include "Auto.h"
#include "Fakes.h"
#include "FormControls.h"
#include "ResultViews.h"
#include "WindowsFixture.h"
#include "windows/info/NameWindows.h"
#include "windows/lists/OutputWindows.h"
#include "windows/lists/QuizWindows.h"
#include "windows/search/SearchWindows.h"

namespace {

// Stands in for a real window under a name the window manager knows.
class SizedForm : public ChildForm, public ChildWindow {
public:
    SizedForm(const std::string& name, int width, int height) : ChildForm(name), width_(width), height_(height) {}
    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;
    QSize clientWhileBuilding;

protected:
    void BuildControls() override {
        SetClientSize(width_, height_);
        // Controls are placed against the client's size before the first show.
        clientWhileBuilding = Client()->size();
        AddFrame("Frame", "Gr\xf6\xdf" "e", {8, 4, 100, 50});
        AddLabel("Label", "M\xe4nner:", {8, 60, 100, 20});
        AddButton("Button", "\xc4ndern", {8, 90, 80, 24}, Control("Frame"));
        SetSizable(false);  // a fixed window comes back at its designed size
    }

private:
    int width_, height_;
};

// A sizable window that counts its layouts and the client size each saw.
class ResizeCountingForm : public ChildForm, public ChildWindow {
public:
    ResizeCountingForm(const std::string& name, bool followClient) : ChildForm(name), followClient_(followClient) {}
    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;
    std::vector<QSize> seen;

protected:
    void BuildControls() override { SetClientSize(300, 200); }
    void Form_Load() override {
        if (followClient_) FollowClientSize();
    }
    void Form_Resize() override { seen.push_back(Client()->size()); }

private:
    bool followClient_;
};

using ChildFormTest = WindowsTest;

TEST_F(ChildFormTest, ClientAreaHasTheDesignedSizeAndKeepsItAfterAReloadAndCaptionsTheirCp1252Text) {
    struct Case {
        const char* name;
        int width, height;
    };
    for (const Case& c : {Case{"Alpha", 400, 300}, Case{"NameDays", 360, 200}, Case{"Similar", 660, 440}}) {
        SCOPED_TRACE(c.name);
        Auto::Register(c.name, [c] { return std::make_unique<SizedForm>(c.name, c.width, c.height); });
        auto& w = Form<SizedForm>(c.name);
        Settle();
        const QSize designed(c.width, c.height);
        EXPECT_EQ(w.clientWhileBuilding, designed);
        // The frames, labels and buttons with their captions in the program's code page.
        auto* frame = w.ControlAs<QGroupBox>("Frame");
        auto* label = w.ControlAs<QLabel>("Label");
        auto* button = w.ControlAs<CommandButton>("Button");
        ASSERT_TRUE(frame && label && button);
        EXPECT_EQ(frame->title(), QString::fromUtf8("Größe"));
        EXPECT_EQ(label->text(), QString::fromUtf8("Männer:"));
        EXPECT_EQ(button->text(), QString::fromUtf8("Ändern"));
        EXPECT_EQ(button->parentWidget(), frame);
        EXPECT_EQ(frame->geometry(), QRect(8, 4, 100, 50));
        EXPECT_EQ(w.Client()->size(), designed);
        EXPECT_GT(w.Host()->height(), c.height);  // the frame lies around the client
        w.Unload();
        Settle();
        auto& again = Form<SizedForm>(c.name);
        Settle();
        EXPECT_EQ(again.Client()->size(), designed);
        again.Unload();
        Settle();
    }
}

// Every child window of the program at its default size, made small and
// made large: a sizable one stops at a minimum that leaves each of its
// controls whole inside it and stretches its lists with the window; a fixed
// one keeps its size.
TEST_F(ChildFormTest, AResizeLaysTheWindowOutOnceWithTheNewClientSize) {
    struct Case {
        const char* name;
        bool followClient;
    };
    for (const Case& c : {Case{"Alpha", true}, Case{"NameDays", false}}) {
        SCOPED_TRACE(c.name);
        Auto::Register(c.name, [c] { return std::make_unique<ResizeCountingForm>(c.name, c.followClient); });
        auto& w = Form<ResizeCountingForm>(c.name);
        Settle();
        w.seen.clear();
        w.Host()->resize(w.Host()->size() + QSize(120, 80));
        Settle();
        ASSERT_EQ(w.seen.size(), 1u);
        EXPECT_EQ(w.seen.back(), w.Client()->size());
        w.Unload();
        Settle();
    }
}

TEST_F(ChildFormTest, SizableWindowsStopAtTheirMinimumAndStretchTheirListsFixedOnesKeepTheirSize) {
    NameWindows::Register();
    SearchWindows::Register();
    RegisterListWindows();
    OutputWindows::Register();
    QuizWindows::Register();
    int sizable = 0, fixed = 0;
    for (const std::string& name : Auto::AvailableNames()) {
        SCOPED_TRACE(name);
        FormBase* f = Auto::GetForm(name);
        if (!f || f->kind() != FormBase::Kind::MdiChild) continue;  // dialogs are modal and fixed
        WinMan::OpenForm(name);
        Settle();
        ASSERT_TRUE(f->IsLoaded());
        QWidget* client = f->Client();
        // At its default size nothing is cut off.
        const QSize min = f->MinClientSize();
        EXPECT_GE(client->width(), min.width());
        EXPECT_GE(client->height(), min.height());
        const QSize before = f->Host()->size();
        if (!f->Sizable()) {
            // Neither the user's drag nor the placement changes it.
            ++fixed;
            EXPECT_EQ(f->Host()->minimumSize(), before);
            EXPECT_EQ(f->Host()->maximumSize(), before);
            f->Unload();
            Settle();
            continue;
        }
        f->Resize(100 * 15.0, 100 * 15.0);
        Settle();
        ++sizable;
        EXPECT_EQ(client->size(), min);
        for (const FormBase::ControlEntry& c : f->Controls()) {
            QWidget* w = c.widget;
            if (!w || w->parentWidget() != client || w->isHidden() || c.name == "MarkShape") continue;
            EXPECT_TRUE(client->rect().contains(w->geometry())) << c.name << " lies outside the smallest window";
        }
        // Made larger, its tallest list or description grows with it.
        auto tallest = [&] {
            int h = 0;
            for (const FormBase::ControlEntry& c : f->Controls())
                if (qobject_cast<QAbstractScrollArea*>(c.widget))
                    h = std::max(h, c.widget->height());
            return h;
        };
        const int small = tallest();
        f->Resize((before.height() + 200) * 15.0, (before.width() + 200) * 15.0);
        Settle();
        EXPECT_GT(tallest(), small + 100);
        f->Unload();
        Settle();
    }
    EXPECT_GE(sizable, 9);
    EXPECT_GE(fixed, 9);
    Fakes().TakeMessages();
}

// Tab goes through a window as it is read: top to bottom, left to right, a
// frame's controls together, a column of buttons after the column of frames
// beside it, an option group one stop (its checked button, else its first),
// and from the last stop round to the first. A window whose first input is
// not the first control it reads opens there, and Tab still reads the window
// from its first control (New Names: its list on the left, then the name).
TEST_F(ChildFormTest, TabFollowsTheLayoutRoundFromTheFirstInput) {
    RegisterListWindows();
    OutputWindows::Register();
    struct Case {
        const char* window;
        std::vector<std::string> stops;  // those a user reaches at the opening, in reading order
        std::size_t first;               // where the opening puts the focus
    } cases[] = {
        // Without a list its arrows are gray: no stops.
        {"NameLists",
         {"CurListQuery", "Names", "History", "TranslateToNames", "TranslateToGenNames",
          "AutoToNames", "AutoToGenNames", "GenderFemaleOnly", "GenderMaleOnly", "AutoFemaleOnly", "AutoMaleOnly",
          "GenNamesOnly", "GenGenNamesOnly", "AutoNamesOnly", "AutoGenNamesOnly", "ActSortOrder", "NewSortOrder",
          "ShowHelp"},
         0},
        {"UserNames",
         {"Names", "CurName", "Male", "OrigLang", "German", "OrigInfo", "OrigInfo", "UseLang", "UseLang", "UseLang",
          "ShowHelp"},
         1},
        {"PrintOptions", {"Descr", "CurList", "ShowPrintDialog", "DoPrint", "ShowHelp", "DoCancel"}, 0},
    };
    auto name = [] { return QApplication::focusWidget()->objectName().toStdString(); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.window);
        FormBase* w = Open<FormBase>(c.window);
        ASSERT_TRUE(w);
        // Tab comes into the window at the first control read.
        QWidget* next = w->Host()->nextInFocusChain();
        while (next != w->Host() && !(next->isVisible() && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus)))
            next = next->nextInFocusChain();
        EXPECT_EQ(next->objectName().toStdString(), c.stops.front());
        w->FocusFirstInput();
        std::vector<std::string> seen;
        for (std::size_t i = 0; i <= c.stops.size() && QApplication::focusWidget(); ++i) {
            seen.push_back(name());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        std::vector<std::string> round(c.stops.begin() + static_cast<std::ptrdiff_t>(c.first), c.stops.end());
        round.insert(round.end(), c.stops.begin(), c.stops.begin() + static_cast<std::ptrdiff_t>(c.first) + 1);
        EXPECT_EQ(seen, round);
        w->Unload();
        Settle();
    }
}

}  // namespace
