// A stand-in child window for the window manager and tutorial tests: one
// control of each kind (three option buttons in an array, a check box, a text
// box, a combo box with two entries, a list box with two, a button). Every
// handler asks the input guard first, as the windows' handlers do, and logs
// "<name> <control>" (or "<name> blocked <control>"); clicks keeps what each
// handler saw, values included. Notify logs "<name> notify <code> <text>".
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <memory>
#include <string>
#include <vector>

#include "Auto.h"
#include "FormBase.h"
#include "Options.h"
#include "FormControls.h"
#include "WinMan.h"

class StubForm : public FormBase {
public:
    StubForm(const std::string& name, std::vector<std::string>& log) : FormBase(name), log_(log) {}
    void Notify(int code, const std::string& text) override {
        log_.push_back(Name() + " notify " + std::to_string(code) + " " + text);
    }

    int loads = 0;
    // The button unloads its own window; whether the window was still there
    // when the unload call returned.
    bool unloadInHandler = false;
    bool loadedAfterUnloadCall = false;
    std::vector<std::string> clicks;

    std::vector<OptionButton*> opt;
    CheckBox* check = nullptr;
    TextBox* text = nullptr;
    ComboBox* combo = nullptr;
    ListBox* list = nullptr;
    CommandButton* go = nullptr;

protected:
    void BuildControls() override {
        Resize(3000, 4500);
        opt.clear();
        for (int i = 0; i < 3; ++i) {
            auto* o = Add<OptionButton>("Opt", i);
            o->move(10, 10 + 20 * i);
            o->onClick = Guarded("Opt" + std::to_string(i), [] { return std::string(); });
            opt.push_back(o);
        }
        check = Add<CheckBox>("Check");
        check->move(10, 80);
        check->onClick = Guarded("Check", [this] { return std::to_string(check->Value()); });
        text = Add<TextBox>("Text");
        text->move(10, 110);
        text->onChange = Guarded("Text", [this] { return " " + text->Text(); });
        combo = Add<ComboBox>("Combo");
        combo->move(10, 140);
        combo->onClick = Guarded("Combo", [this] { return std::to_string(combo->ListIndex()); });
        list = Add<ListBox>("List");
        list->setGeometry(150, 50, 100, 60);
        list->onClick = Guarded("List", [this] { return std::to_string(list->ListIndex()); });
        go = Add<CommandButton>("Go");
        go->move(150, 10);
        Handler press = Guarded("Go", [] { return std::string(); });
        go->onClick = [this, press] {
            press();
            if (unloadInHandler) {
                Unload();
                loadedAfterUnloadCall = IsLoaded() && Control("Go") == go;
            }
        };
    }
    void Form_Load() override {
        ++loads;
        combo->AddItem("eins");
        combo->AddItem("zwei");
        list->AddItem("a");
        list->AddItem("b");
    }

private:
    template <class Detail>
    Handler Guarded(const std::string& what, Detail detail) {
        return [this, what, detail] {
            if (WinMan::ActionBlocked()) {
                log_.push_back(Name() + " blocked " + what);
                return;
            }
            log_.push_back(Name() + " " + what);
            clicks.push_back(what + detail());
        };
    }
    std::vector<std::string>& log_;
};

// Stand-in windows named Alpha, Lexi and SingleName in a real MDI area of a
// plain main window (offscreen), with the window manager started afresh.
class StubAreaTest : public testing::Test {
protected:
    void SetUp() override {
        Options::RegBaseKey = "Software\\Test\\";
        WinMan::InitWinMan();
        Auto::Reset();
        frame = std::make_unique<QMainWindow>();
        area = new QMdiArea;
        frame->setCentralWidget(area);
        frame->resize(1000, 700);
        frame->show();
        FormBase::SetMdiArea(area);
        for (const char* name : {"Alpha", "Lexi", "SingleName"})
            Auto::Register(name, [this, name] { return std::make_unique<StubForm>(name, log); });
    }
    void TearDown() override {
        Auto::Reset();
        FormBase::SetMdiArea(nullptr);
        frame.reset();
        Settle();
        WinMan::InitWinMan();
    }
    static void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    StubForm& Form(const char* name) { return *static_cast<StubForm*>(Auto::GetForm(name)); }

    std::vector<std::string> log;  // what the stand-in windows heard
    std::unique_ptr<QMainWindow> frame;
    QMdiArea* area = nullptr;
};
