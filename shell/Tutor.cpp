#include "Tutor.h"

#include <QMdiArea>

#include "Auto.h"
#include "FileOp.h"
#include "GenMsg.h"
#include "QtLowLevel.h"
#include "RichTextPane.h"
#include "ShellKit.h"
#include "TextConstants.h"
#include "TextDisplay.h"
#include "WinMan.h"
#include "WindowKeys.h"

using TextConstants::LangText;

namespace {

// Layout in pixels: the step pane on the left, the buttons in a column 1 mm
// from the right edge.
constexpr int kHeight = 112;
constexpr int kButtonW = 84, kButtonH = 26, kButtonGap = 6;
constexpr int kMargin = 4;      // about 1 mm
constexpr int kButtonRoom = 83;  // 22 mm right of the pane

constexpr int kFileNum = 1;
// A tutorial is read up to this many lines.
constexpr std::size_t kMaxLines = 501;

}  // namespace

Tutor::Tutor() : FormBase("Tutor", Kind::MdiChild, kPlaced | kInHistory) {
    // The frame gives the band its width; the user does not size it.
    SetSizable(false);
}

Tutor::~Tutor() { display_.reset(); }

void Tutor::BuildControls() {
    FitClient(*this, 760, kHeight);
    SetCaption("Tutorial");
    stepText_ = Add<RichTextPane>("StepText");
    next_ = Add<CommandButton>("NextStep");
    next_->SetCaption("Weiter");
    next_->setDefault(true);
    leave_ = Add<CommandButton>("Leave");
    leave_->SetCaption("Abbrechen");
    // Escape leaves the tutorial, as Cancel does.
    WindowKeys::PressOnEscape(Client(), leave_);
    help_ = Add<CommandButton>("ShowHelp");
    help_->SetCaption("Hilfe");
    for (CommandButton* b : {next_.data(), leave_.data(), help_.data()}) b->resize(kButtonW, kButtonH);
    next_->onClick = [this] { NextStep_Click(); };
    leave_->onClick = [this] { Leave_Click(); };
    help_->onClick = [this] { LowLevel::ShowFormHelp(Client(), nullptr); };
}

void Tutor::Form_Load() {
    display_ = std::make_unique<TextDisplay>();
    display_->Init("StepText", stepText_, this);
    display_->setWithLinks(false);
    // As wide as the frame's inner area.
    if (QMdiArea* area = FormBase::MdiArea()) Resize(Height(), area->viewport()->width() * 15.0);
    if (TextConstants::textLanguage == 0) {
        WinMan::AddToolTip(*this, next_, "Einen Schritt weitergehen im Tutorial");
        WinMan::AddToolTip(*this, leave_, "Tutorial abbrechen");
        WinMan::AddToolTip(*this, help_, "Hilfe zum Fenster anzeigen");
    }
    SetEnglishTexts();
    Form_Resize();
}

void Tutor::SetEnglishTexts() {
    if (TextConstants::textLanguage != 1) return;
    next_->SetCaption("Next");
    leave_->SetCaption("Cancel");
    help_->SetCaption("Help");
    WinMan::AddToolTip(*this, next_, "Move to the next step in the tutorial");
    WinMan::AddToolTip(*this, leave_, "Stop the tutorial");
    WinMan::AddToolTip(*this, help_, "Show help for this window");
}

void Tutor::Form_Resize() {
    QWidget* c = Client();
    if (!c || !stepText_) return;
    const int w = c->width(), h = c->height();
    stepText_->setGeometry(kMargin, kMargin, std::max(60, w - kMargin - kButtonRoom - kMargin),
                           std::max(30, h - 2 * kMargin));
    int y = kMargin;
    for (CommandButton* b : {next_.data(), leave_.data(), help_.data()}) {
        b->move(w - kButtonW - kMargin, y);
        y += kButtonH + kButtonGap;
    }
}

void Tutor::Form_Activate() {
    if (WinMan::tutorialRunning) return;
    WinMan::tutorialRunning = true;
    // The band: every other window moves down below the tutorial window.
    if (WinMan::bandOffset == 0) WinMan::SetTopOffset(Top() + Height());
}

bool Tutor::LoadTutorial(const std::string& fileName) {
    // The German tutorials lie in the German folder, as the help does.
    const std::string folder =
        TextConstants::textLanguage == 0 ? (FileOp::ProgramFolder.empty() ? "de" : FileOp::ProgramFolder + "/de") : "";
    std::string path;
    if (!FileOp::OpenFile(fileName, folder, kFileNum, "I", "Tutorial", path)) return false;
    ScriptFile::Text text;
    int err = FileOp::Input(kFileNum) ? ScriptFile::ReadLines(*FileOp::Input(kFileNum), kMaxLines, text) : 0;
    FileOp::CloseFile(fileName, kFileNum);
    bad_ = ScriptFile::BadLines(path);
    // Past the limits lies no tutorial: the steps before them still run.
    if (!text.complete) bad_.Add(text.lines.size() + 1, "", "past the length a tutorial is read to");
    WinMan::CloseAllWindows();
    script_ = TutorScript(std::move(text.lines));
    Auto::ForgetMark();
    ShowStep();
    if (err) {
        bool retry = false;
        GenMsg::ShowDiskError(path, false, retry, err);
    }
    bad_.Report();
    return true;
}

void Tutor::ShowStep() {
    if (!display_) return;
    const std::vector<TutorScript::Line> lines = script_.NextTextLines();
    std::vector<std::string> pieces;
    for (const TutorScript::Line& line : lines) pieces.push_back(line.text);
    stepSource_ = TutorScript::Join(pieces);
    TextDisplay& td = *display_;
    td.BeginText();
    td.SetFontSize(16);
    td.SetTabPos(0);
    td.BeginPara();
    // One line after the other, one blank between them. A tag the band does
    // not show is left out, and makes the file a damaged one (one message).
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) td.AddStr(" ");
        std::vector<std::string> unknown;
        td.AddStrWithMarks(lines[i].text, false, &unknown);
        if (!unknown.empty()) bad_.Add(lines[i].number, lines[i].text, "a tag the band does not show: <" + unknown[0] + ">");
    }
    td.EndPara();
    td.EndText();
    td.DisplayText();
    if (next_) next_->setFocus();
}

void Tutor::RunScript() {
    // A bad line is skipped; the first one met is reported once a tutorial.
    for (const TutorScript::Line& line : script_.NextScript()) {
        const std::string problem = Auto::RunLine(line.text);
        if (!problem.empty()) bad_.Add(line.number, line.text, problem);
    }
    bad_.Report();
}

void Tutor::NextStep_Click() {
    if (!script_.HasMore()) {
        Leave_Click();
        return;
    }
    RunScript();
    // A script line may have ended the tutorial (it closed this window).
    if (!IsLoaded() || !WinMan::tutorialRunning) return;
    // A script block with no text after it ends the tutorial rather than
    // show an empty step.
    if (script_.HasMore()) {
        ShowStep();
        bad_.Report();
    } else {
        Leave_Click();
    }
}

void Tutor::Leave_Click() {
    Auto::ClearMark();
    Hide();
    WinMan::SetTopOffset(0);
    WinMan::tutorialRunning = false;
    Unload();
}

void Tutor::Form_Unload(bool&) {
    Auto::ClearMark();
    // However the window goes (its close box too), the others move back up.
    if (WinMan::bandOffset != 0) WinMan::SetTopOffset(0);
    WinMan::tutorialRunning = false;
    script_ = TutorScript();
    stepSource_.clear();
}
