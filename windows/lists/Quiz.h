// The quiz window ("Quiz"): one round of the name quiz per load. It shows
// the question, four answers to choose from by a click, the explanation with
// its links once the answer is given, the state of the round, the time left
// and the jokers; the round itself is a QuizRound::Round. Closing the window
// brings the quiz options back, except when the program closes.
#pragma once

#include <QPointer>
#include <QTimer>
#include <array>
#include <memory>
#include <string>

#include "ChildForm.h"
#include "QuizRound.h"
#include "RichTextBox.h"
#include "WindowContracts.h"

class QGroupBox;
class QKeyEvent;
class QLabel;
class RichTextPane;
class TextDisplay;

class Quiz : public ChildForm, public ChildWindow, public LinkOwner, private QuizRound::Round::Listener {
    Q_OBJECT
public:
    Quiz();
    ~Quiz() override;

    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;

    // The handlers, public for tutorials and tests.
    void Answer_Click(int index);
    void DoAnswer_Click();
    void DoNext_Click();
    void Joker_Click(int slot);
    // One tick of SecTimer (once a second while a question is open).
    void SecTimer_Timer();

    // Closes the window as its close box does, for the options to open a
    // new round at once: they are not brought back meanwhile.
    void CloseForNewRound();

    const QuizRound::Round& round() const { return round_; }
    // The clock's timer (read by tests).
    QTimer* SecTimer() const { return secTimer_; }

protected:
    void BuildControls() override;
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void OnNotify(int code, const std::string& text) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // QuizRound::Round::Listener
    void RoundChanged(bool texts) override;
    void ClockChanged(bool running) override;

    void SetEnglishTexts();
    void ShowTexts();
    void ShowText(TextDisplay& td, const std::string& text, bool links);
    // Gives the chosen answer and puts the focus on Next.
    void AnswerByKeyboard();
    // The answers' one stop of Tab: the marked answer, else the first shown.
    void UpdateAnswerStop();
    // A key pressed on answer index: the arrow keys move the mark to the
    // answer shown above or below (round the ends), Space marks this one,
    // Enter marks it and gives it. True when the key was one of them.
    bool AnswerKey(int index, const QKeyEvent& key);

    QuizRound::Round round_{this};
    std::unique_ptr<TextDisplay> questionTd_, descrTd_;
    std::array<std::unique_ptr<TextDisplay>, QuizRound::kNumAnswers> answerTds_;

    QPointer<QGroupBox> questionFrame_, frame1_, frame2_, frame3_, stateFrame_, timeLeftFrame_;
    QPointer<TextBox> questionNum_;
    QPointer<RichTextPane> question_, descr_;
    std::array<QPointer<RichTextPane>, QuizRound::kNumAnswers> answers_;
    QPointer<CommandButton> doAnswer_, doNext_, showHelp_;
    std::array<QPointer<CommandButton>, QuizRound::kNumJokerSlots> jokers_;
    QPointer<QLabel> answerRight_, answerWrong_, label1_, label2_, label3_, state0_, state1_, state2_, timeLeft_;
    QPointer<QTimer> secTimer_;
    bool newRound_ = false;  // closing for a new round (CloseForNewRound)
};
