// What every child window builds its controls with: the client area of the
// designed size, whatever frame the window gets around it, and the frames,
// labels and buttons with their captions in the program's code page.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>

#include "Auto.h"
#include "FormControls.h"
#include "WindowsFixture.h"

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

using ChildFormTest = WindowsTest;

TEST_F(ChildFormTest, ClientAreaHasTheDesignedSizeAndKeepsItAfterAReload) {
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

TEST_F(ChildFormTest, FramesLabelsAndButtonsShowTheirCp1252Captions) {
    Auto::Register("Alpha", [] { return std::make_unique<SizedForm>("Alpha", 300, 200); });
    auto& w = Form<SizedForm>("Alpha");
    auto* frame = w.ControlAs<QGroupBox>("Frame");
    auto* label = w.ControlAs<QLabel>("Label");
    auto* button = w.ControlAs<CommandButton>("Button");
    ASSERT_TRUE(frame && label && button);
    EXPECT_EQ(frame->title(), QString::fromUtf8("Größe"));
    EXPECT_EQ(label->text(), QString::fromUtf8("Männer:"));
    EXPECT_EQ(button->text(), QString::fromUtf8("Ändern"));
    EXPECT_EQ(button->parentWidget(), frame);
    EXPECT_EQ(frame->geometry(), QRect(8, 4, 100, 50));
}

}  // namespace
