#include "QuizOptions.h"

#include <QLabel>
#include <algorithm>

#include "GenMsg.h"
#include "KFrame.h"
#include "Options.h"
#include "QtText.h"
#include "Quiz.h"
#include "QuizRound.h"
#include "QuizWindows.h"
#include "TextConstants.h"
#include "WinMan.h"

namespace {

constexpr int kWidth = 436, kHeight = 236;

int& OptionOf(QuizOptions::Box box) {
    switch (box) {
    case QuizOptions::kNumMin: return Options::QuizNumMin;
    case QuizOptions::kNumQ: return Options::QuizNumQ;
    case QuizOptions::kNumJo5050: return Options::QuizNumJo5050;
    case QuizOptions::kNumJoNext:
    case QuizOptions::kNumBoxes: break;
    }
    return Options::QuizNumJoNext;
}

const char* const kBoxNames[] = {"NumMin", "NumQ", "NumJo5050", "NumJoNext"};

}  // namespace

QuizOptions::QuizOptions() : ChildForm("QuizOptions"), numbers_(*this) {
    // It asks before a round as a dialog would: Escape cancels it.
    SetDialogLike();
}

int QuizOptions::Maximum(Box box) {
    switch (box) {
    case kNumMin: return QuizRound::kMaxMinutes;
    case kNumQ: return QuizRound::kMaxQuestions;
    default: return QuizRound::kMaxJokers;
    }
}

// --- Layout --------------------------------------------------------------------------

void QuizOptions::BuildControls() {
    SetClientSize(kWidth, kHeight);
    Move(600, 900);  // its design position, near the frame's top left corner
    SetCaption("Optionen f\xfcr Quiz");

    auto box = [this](Box b, QRect r) {
        auto* t = Add<TextBox>(kBoxNames[b]);
        t->setGeometry(r);
        t->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        t->setMaxLength(6);
        boxes_[static_cast<size_t>(b)] = t;
    };

    useLimit_ = Add<CheckBox>("UseLimit");
    useLimit_->SetCaption("mit Zeitlimit?");
    useLimit_->setGeometry(16, 12, 220, 24);
    label4_ = AddLabel("Label4", "Minuten:", {250, 12, 110, 24});
    label4_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box(kNumMin, {368, 12, 52, 24});
    stopAfterWrong_ = Add<CheckBox>("StopAfterWrong");
    stopAfterWrong_->SetCaption("bei erster falscher Antwort abbrechen?");
    stopAfterWrong_->setGeometry(16, 42, 404, 24);
    incDiff_ = Add<CheckBox>("IncDiff");
    incDiff_->SetCaption("Schwierigkeitsgrad der Fragen schrittweise erh\xf6hen?");
    incDiff_->setGeometry(16, 72, 404, 24);

    label1_ = AddLabel("Label1", "Anzahl Fragen total:", {16, 110, 340, 24});
    box(kNumQ, {368, 110, 52, 24});
    label2_ = AddLabel("Label2", "Anzahl Joker \x84" "50-50\x93:", {16, 140, 340, 24});
    box(kNumJo5050, {368, 140, 52, 24});
    label3_ = AddLabel("Label3", "Anzahl Joker \x84N\xe4" "chste Frage\x93:", {16, 170, 340, 24});
    box(kNumJoNext, {368, 170, 52, 24});

    startQuiz_ = AddButton("StartQuiz", "Quiz starten", {16, 202, 130, 28});
    startQuiz_->setDefault(true);
    doCancel_ = AddButton("DoCancel", "Abbrechen", {154, 202, 110, 28});
    showHelp_ = AddHelpButton();
    showHelp_->SetCaption("Hilfe");
    showHelp_->setGeometry(310, 202, 110, 28);

    SetSizable(false);
}

// --- Load ------------------------------------------------------------------------------

void QuizOptions::Form_Load() {
    suppressEvents = false;
    useLimit_->SetValue(Options::CheckBoxValue(Options::QuizUseLimit));
    stopAfterWrong_->SetValue(Options::CheckBoxValue(Options::QuizStopAfterWrong));
    incDiff_->SetValue(Options::CheckBoxValue(Options::QuizIncDiff));
    numbers_.Clear();
    for (int b = 0; b < kNumBoxes; ++b) {
        const Box box = static_cast<Box>(b);
        // A damaged store could hold what no box accepts: the box offers the
        // nearest value it does.
        const int value = std::clamp(OptionOf(box), 0, Maximum(box));
        SetTextQuietly(NumberBox(box), std::to_string(value));
        // The minutes box is reached through its check box while it is off.
        QWidget* instead = box == kNumMin ? static_cast<QWidget*>(useLimit_) : nullptr;
        numbers_.Add(NumberBox(box), [this, box] { return CheckField(box); }, instead);
    }
    numbers_.AcceptAll();
    // Cancel drops the values anyway.
    numbers_.Exempt(doCancel_);
    NumberBox(kNumMin)->setEnabled(Options::QuizUseLimit);

    useLimit_->onClick = [this] { UseLimit_Click(); };
    startQuiz_->onClick = [this] { StartQuiz_Click(); };
    doCancel_->onClick = [this] { DoCancel_Click(); };
    SetEnglishTexts();
}

void QuizOptions::SetEnglishTexts() {
    if (TextConstants::textLanguage != 1) return;
    SetCaption("Quiz Options");
    useLimit_->SetCaption("With a time limit?");
    label4_->setText(QStringLiteral("Minutes:"));
    stopAfterWrong_->SetCaption("Stop at the first wrong answer?");
    incDiff_->SetCaption("Make the questions harder step by step?");
    label1_->setText(QStringLiteral("Number of questions:"));
    label2_->setText(QStringLiteral("Number of \"50-50\" jokers:"));
    label3_->setText(QStringLiteral("Number of \"Next question\" jokers:"));
    startQuiz_->SetCaption("Start Quiz");
    doCancel_->SetCaption("Cancel");
    showHelp_->SetCaption("Help");
}

// --- Handlers (the buttons run without the input guard) -----------------------------------

void QuizOptions::UseLimit_Click() {
    if (TextBox* minutes = NumberBox(kNumMin)) minutes->setEnabled(useLimit_->Value() == 1);
}

bool QuizOptions::CheckField(Box box) {
    TextBox* t = NumberBox(box);
    if (!t) return false;
    const std::string text = t->Text();
    int msg = GenMsg::CheckNumberText(text);
    if (msg < 0 && GenMsg::NumberFieldValue(text) > Maximum(box)) msg = GenMsg::GMtooBig;
    if (msg < 0) return true;
    // The box's own limit, also for a number beyond what any box holds.
    if (msg == GenMsg::GMtooBig)
        GenMsg::ShowMsg(msg, GenMsg::kCritical, std::to_string(Maximum(box)));
    else
        GenMsg::ShowMsg(msg, GenMsg::kExclamation, "");
    return false;
}

void QuizOptions::StartQuiz_Click() {
    // Every box changed since its last check is checked here, not only the
    // one the focus left: the first invalid one gets its message and the
    // focus.
    if (!numbers_.CheckAll()) return;
    Options::QuizUseLimit = useLimit_->Value() != 0;
    Options::QuizStopAfterWrong = stopAfterWrong_->Value() != 0;
    Options::QuizIncDiff = incDiff_->Value() != 0;
    for (int b = 0; b < kNumBoxes; ++b) {
        const Box box = static_cast<Box>(b);
        OptionOf(box) = GenMsg::NumberFieldValue(NumberBox(box)->Text());
    }
    Hide();
    // A round starts as the quiz window loads: one still open (a round
    // played to its end, or left) closes first, as its close box closes it.
    if (auto* old = dynamic_cast<Quiz*>(Auto::GetForm("Quiz"))) old->CloseForNewRound();
    QuizWindows::ShowForm("Quiz");
    // A start the input guard refused (a tutorial runs) leaves the options
    // on screen rather than no window at all.
    FormBase* quiz = Auto::GetForm("Quiz");
    if (!quiz || !quiz->Visible()) Show();
}

void QuizOptions::DoCancel_Click() { Unload(); }

// --- QuizResult -------------------------------------------------------------------------------

QuizResult::QuizResult() : ChildForm("QuizResult", Kind::MdiChild, kPlaced | kInHistory | kStored) {}

void QuizResult::BuildControls() {
    SetClientSize(360, 200);
    SetCaption("Quiz-Resultat");
    SetSizable(false);
}

void QuizResult::Form_Load() {
    if (TextConstants::textLanguage == 1) SetCaption("Quiz Result");
    KFrame::CentreOnFrame(*this);
}
