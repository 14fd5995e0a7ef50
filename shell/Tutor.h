// The tutorial window: a band across the top of the frame that shows one step
// of a tutorial at a time. Next runs the step's script (which opens windows,
// fills their fields, runs their commands and frames a control in red) and
// shows the next text; the other windows move down below the band while it
// is up, and back up when the tutorial ends.
#pragma once

#include <QPointer>
#include <memory>
#include <string>

#include "FormBase.h"
#include "FormControls.h"
#include "RichTextBox.h"
#include "RichTextPane.h"
#include "ScriptFile.h"
#include "TutorScript.h"

class TextDisplay;

class Tutor : public FormBase, public LinkOwner {
    Q_OBJECT
public:
    Tutor();
    ~Tutor() override;

    // Every code is ignored.
    void Notify(int code, const std::string& text) override {}
    void Notify(int16_t code, const std::string& text) override {}

    // Starts the tutorial in the file (looked for in the program's folder,
    // German ones in its folder "de"): every other window closes and the
    // first step shows. False when the file could not be read (the file
    // routines said why); the band stays empty until Cancel.
    bool LoadTutorial(const std::string& fileName);

    // --- handlers (public for the selection window and tests) ---------------------
    void NextStep_Click();
    void Leave_Click();

    RichTextPane* StepText() const { return stepText_; }
    CommandButton* NextStep() const { return next_; }
    CommandButton* Leave() const { return leave_; }
    // The text of the step on show (its mark-up as in the file).
    const std::string& StepSource() const { return stepSource_; }
    bool HasMoreSteps() const { return script_.HasMore(); }

protected:
    void BuildControls() override;
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Resize() override;
    void Form_Unload(bool& cancel) override;

private:
    void ShowStep();
    void RunScript();
    void SetEnglishTexts();

    QPointer<RichTextPane> stepText_;
    QPointer<CommandButton> next_, leave_, help_;
    std::unique_ptr<TextDisplay> display_;
    TutorScript script_;
    // The bad lines of the tutorial on show.
    ScriptFile::BadLines bad_;
    std::string stepSource_;
};
