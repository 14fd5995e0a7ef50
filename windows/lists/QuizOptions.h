// The quiz options ("QuizOptions"): the seven settings of a round, checked
// before they reach the options, and the start of a round. The window hides
// itself while the quiz runs and comes back when the quiz closes.
//
// "QuizResult", which belongs to the quiz, is here too: a window without
// controls, centred on the frame, opened only by its name.
#pragma once

#include <QPointer>
#include <array>
#include <string>

#include "ChildForm.h"
#include "NumberBoxes.h"
#include "WindowContracts.h"

class QLabel;

class QuizOptions : public ChildForm, public ChildWindow {
    Q_OBJECT
public:
    QuizOptions();

    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;

    // The four number boxes in their order.
    enum Box { kNumMin, kNumQ, kNumJo5050, kNumJoNext, kNumBoxes };
    static int Maximum(Box box);

    // The handlers, public for tutorials and tests.
    void UseLimit_Click();
    // The check of a box: its message when the value is not valid. True
    // when valid.
    bool CheckField(Box box);
    void StartQuiz_Click();
    void DoCancel_Click();

    TextBox* NumberBox(Box box) const { return boxes_[static_cast<size_t>(box)]; }

protected:
    void BuildControls() override;
    void Form_Load() override;

private:
    void SetEnglishTexts();

    NumberBoxes numbers_;

    QPointer<CheckBox> useLimit_, stopAfterWrong_, incDiff_;
    std::array<QPointer<TextBox>, kNumBoxes> boxes_;
    QPointer<QLabel> label1_, label2_, label3_, label4_;
    QPointer<CommandButton> startQuiz_, doCancel_, showHelp_;
};

class QuizResult : public ChildForm, public ChildWindow {
    Q_OBJECT
public:
    QuizResult();
    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;

protected:
    void BuildControls() override;
    void Form_Load() override;
};
