#include "Quiz.h"

#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QTimer>
#include <utility>

#include "Options.h"
#include "QtText.h"
#include "QuizWindows.h"
#include "RichTextPane.h"
#include "Searches.h"
#include "TextConstants.h"
#include "TextDisplay.h"
#include "WinMan.h"
#include "WindowKeys.h"

using QuizRound::Shade;

namespace {

// Layout in pixels (15 twips each).
constexpr int kWidth = 704, kHeight = 460;
constexpr int kLeftW = 476;           // the question, answers and explanation
constexpr int kRightX = 492, kRightW = 204;  // state, time, jokers, help
constexpr int kAnswerH = 40;

QColor ColourOf(uint32_t rgb) {
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>((rgb >> 16) & 0xFF));
}

// The answer boxes' backgrounds: white, the light entry of the colour table
// for the selected answer, the answered-question entry for the right one.
QColor ShadeColour(Shade s) {
    switch (s) {
    case Shade::Selected: return ColourOf(Options::OptColor[9]);
    case Shade::Right: return ColourOf(Options::OptColor[10]);
    case Shade::White: break;
    }
    return QColor(255, 255, 255);
}

void SetBackground(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    if (p.color(QPalette::Base) == c) return;
    p.setColor(QPalette::Base, c);
    w->setPalette(p);
}

QString Q(const std::string& cp1252) { return QtText::ToQt(cp1252); }

const char* const kGermanAnswerTips[] = {"1. m\xf6gliche Antwort", "2. m\xf6gliche Antwort", "3. m\xf6gliche Antwort",
                                         "4. m\xf6gliche Antwort"};
const char* const kEnglishAnswerTips[] = {"1st possible answer", "2nd possible answer", "3rd possible answer",
                                          "4th possible answer"};
const char* const kEnglishJokerTips[] = {"1st joker", "2nd joker", "3rd joker", "4th joker", "5th joker", "6th joker"};

}  // namespace

Quiz::Quiz() : ChildForm("Quiz", Kind::MdiChild, kPlaced | kInHistory | kStored) {}

Quiz::~Quiz() = default;

// --- Layout --------------------------------------------------------------------------

void Quiz::BuildControls() {
    SetClientSize(kWidth, kHeight);
    Move(150, 300);  // its design position, near the frame's top left corner
    SetCaption("Quiz");

    // Frames first: the controls drawn over them come later.
    questionFrame_ = AddFrame("QuestionFrame", "Aktuelle Frage", {8, 4, kLeftW, 92});
    frame2_ = AddFrame("Frame2", "Antworten zur Auswahl", {8, 100, kLeftW, 200});
    frame1_ = AddFrame("Frame1", "Erl\xe4uterungen zur richtigen Antwort", {8, 304, kLeftW, 148});
    stateFrame_ = AddFrame("StateFrame", "Stand", {kRightX, 4, kRightW, 100});
    timeLeftFrame_ = AddFrame("TimeLeftFrame", "Restzeit", {kRightX, 108, kRightW, 60});
    frame3_ = AddFrame("Frame3", "Joker", {kRightX, 172, kRightW, 240});

    questionNum_ = Add<TextBox>("QuestionNum");
    questionNum_->setReadOnly(true);
    questionNum_->setAlignment(Qt::AlignCenter);
    questionNum_->setFocusPolicy(Qt::NoFocus);
    questionNum_->setGeometry(18, 26, 40, 28);
    question_ = Add<RichTextPane>("Question");
    question_->setGeometry(66, 24, kLeftW - 66, 64);

    for (int i = 0; i < QuizRound::kNumAnswers; ++i) {
        auto* a = Add<RichTextPane>("Answer" + std::to_string(i));
        a->setGeometry(18, 122 + i * (kAnswerH + 4), 330, kAnswerH);
        // A click anywhere in the box selects the answer: no text selection,
        // and the pointer says so.
        a->setTextInteractionFlags(Qt::NoTextInteraction);
        a->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // The answers are one group, as option buttons are: one stop of
        // Tab (UpdateAnswerStop), the arrow keys among them, each in its
        // place in the reading order whichever is the stop.
        WindowKeys::KeepTabPlace(a);
        a->installEventFilter(this);
        a->viewport()->setCursor(Qt::PointingHandCursor);
        a->viewport()->installEventFilter(this);
        answers_[static_cast<size_t>(i)] = a;
    }
    doAnswer_ = AddButton("DoAnswer", "Antworten", {358, 122, 116, 28});
    doNext_ = AddButton("DoNext", "Weiter", {358, 156, 116, 28});
    answerRight_ = AddLabel("AnswerRight", "Richtig", {358, 200, 116, 32});
    answerWrong_ = AddLabel("AnswerWrong", "Falsch", {358, 200, 116, 32});
    for (QLabel* l : {answerRight_.data(), answerWrong_.data()}) {
        QFont f = l->font();
        f.setBold(true);
        f.setPointSizeF(f.pointSizeF() * 1.5);
        l->setFont(f);
        l->setAlignment(Qt::AlignCenter);
    }
    answerRight_->setStyleSheet(QStringLiteral("color: #007a00;"));
    answerWrong_->setStyleSheet(QStringLiteral("color: #c00000;"));

    descr_ = Add<RichTextPane>("Descr");
    descr_->setGeometry(18, 326, kLeftW - 20, 118);

    label1_ = AddLabel("Label1", "Fragen total", {kRightX + 10, 24, 156, 22});
    label2_ = AddLabel("Label2", "Fragen verbleiben", {kRightX + 10, 48, 156, 22});
    label3_ = AddLabel("Label3", "Antworten richtig bisher", {kRightX + 10, 72, 156, 22});
    state0_ = AddLabel("State0", "", {kRightX + 166, 24, 28, 22});
    state1_ = AddLabel("State1", "", {kRightX + 166, 48, 28, 22});
    state2_ = AddLabel("State2", "", {kRightX + 166, 72, 28, 22});
    for (QLabel* l : {state0_.data(), state1_.data(), state2_.data()}) l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    timeLeft_ = AddLabel("TimeLeft", "", {kRightX + 10, 128, kRightW - 20, 32});
    timeLeft_->setAlignment(Qt::AlignCenter);
    {
        QFont f = timeLeft_->font();
        f.setBold(true);
        f.setPointSizeF(f.pointSizeF() * 1.6);
        timeLeft_->setFont(f);
    }

    for (int i = 0; i < QuizRound::kNumJokerSlots; ++i) {
        auto* b = Add<CommandButton>("Joker", i);
        b->setGeometry(kRightX + 12, 194 + i * 36, kRightW - 24, 30);
        jokers_[static_cast<size_t>(i)] = b;
    }
    showHelp_ = AddHelpButton();
    showHelp_->SetCaption("Hilfe");
    showHelp_->setGeometry(kRightX + 12, 420, kRightW - 24, 30);

    // Fixed at its designed size (after the size is set).
    SetSizable(false);
}

// --- Load ------------------------------------------------------------------------------

void Quiz::Form_Load() {
    suppressEvents = false;
    questionTd_ = std::make_unique<TextDisplay>();
    questionTd_->Init("Question", question_, this);
    descrTd_ = std::make_unique<TextDisplay>();
    descrTd_->Init("Descr", descr_, this);
    for (int i = 0; i < QuizRound::kNumAnswers; ++i) {
        auto td = std::make_unique<TextDisplay>();
        td->Init("Answer" + std::to_string(i), answers_[static_cast<size_t>(i)], this);
        answerTds_[static_cast<size_t>(i)] = std::move(td);
    }
    questionTd_->SetFontSize(20);
    for (auto& td : answerTds_) td->SetFontSize(20);

    Tip(questionNum_, "Nummer der aktuellen Frage", "Number of the current question");
    Tip(question_, "Aktuelle Frage", "Current question");
    for (int i = 0; i < QuizRound::kNumAnswers; ++i)
        Tip(answers_[static_cast<size_t>(i)], kGermanAnswerTips[i], kEnglishAnswerTips[i]);
    Tip(doAnswer_, "Momentan gew\xe4hlte Antwort definitiv abgeben", "Give the selected answer for good");
    Tip(doNext_, "Weitergehen zur n\xe4" "chsten Frage", "Go on to the next question");
    Tip(descr_, "Zus\xe4tzliche Erl\xe4uterungen zur richtigen Antwort", "More about the right answer");
    Tip(stateFrame_, "Informationen \xfc" "ber den laufenden Stand", "How the round stands");
    Tip(timeLeftFrame_, "Laufende Anzeige der noch verbleibenden Zeit", "The time left, counting down");
    for (int i = 0; i < QuizRound::kNumJokerSlots; ++i)
        Tip(jokers_[static_cast<size_t>(i)], std::to_string(i + 1) + ". Joker", kEnglishJokerTips[i]);
    Tip(showHelp_, "Hilfe zum Fenster anzeigen", "Show help for this window");
    SetEnglishTexts();

    doAnswer_->onClick = [this] { DoAnswer_Click(); };
    doNext_->onClick = [this] { DoNext_Click(); };
    for (int i = 0; i < QuizRound::kNumJokerSlots; ++i)
        jokers_[static_cast<size_t>(i)]->onClick = [this, i] { Joker_Click(i); };

    secTimer_ = new QTimer(Client());
    secTimer_->setObjectName(QStringLiteral("SecTimer"));
    secTimer_->setInterval(1000);
    connect(secTimer_.data(), &QTimer::timeout, this, [this] { Run([this] { SecTimer_Timer(); }); });

    // Every load is one round.
    round_.Start(QuizRound::Settings::FromOptions(), QuizRound::GetQuestions());
}

void Quiz::SetEnglishTexts() {
    if (TextConstants::textLanguage != 1) return;
    SetCaption("Quiz");
    questionFrame_->setTitle(QStringLiteral("Current question"));
    frame2_->setTitle(QStringLiteral("Answers to choose from"));
    frame1_->setTitle(QStringLiteral("About the right answer"));
    stateFrame_->setTitle(QStringLiteral("Status"));
    timeLeftFrame_->setTitle(QStringLiteral("Time left"));
    frame3_->setTitle(QStringLiteral("Jokers"));
    doAnswer_->SetCaption("Answer");
    doNext_->SetCaption("Next");
    answerRight_->setText(QStringLiteral("Right"));
    answerWrong_->setText(QStringLiteral("Wrong"));
    label1_->setText(QStringLiteral("Questions in total"));
    label2_->setText(QStringLiteral("Questions left"));
    label3_->setText(QStringLiteral("Right answers so far"));
    showHelp_->SetCaption("Help");
}

// --- What the round shows ----------------------------------------------------------------

void Quiz::ShowText(TextDisplay& td, const std::string& text, bool links) {
    // Without links a link mark is plain text.
    td.setWithLinks(links);
    td.BeginText();
    td.SetTabPos(0);
    td.BeginPara();
    td.AddStrWithMarks(text, links);
    td.EndPara();
    td.EndText();
    td.DisplayText();
}

void Quiz::ShowTexts() {
    if (!questionTd_ || !descrTd_) return;
    const QuizRound::QuizQuestion* q = round_.current();
    // The question and the answers never link: a click in an answer box
    // chooses it. The explanation, shown once the question is answered,
    // links what it names.
    ShowText(*questionTd_, q ? q->question : std::string(), false);
    for (int i = 0; i < QuizRound::kNumAnswers; ++i)
        ShowText(*answerTds_[static_cast<size_t>(i)], q ? q->answers[static_cast<size_t>(i)] : std::string(), false);
    const bool explained = q && round_.linksShown();
    ShowText(*descrTd_, explained ? q->descr : std::string(), true);
}

void Quiz::RoundChanged(bool texts) {
    if (!IsLoaded()) return;
    if (texts) ShowTexts();
    questionFrame_->setTitle(Q(round_.frameCaption()));
    questionNum_->SetText(round_.shownNumber() > 0 ? std::to_string(round_.shownNumber()) : std::string());
    for (int i = 0; i < QuizRound::kNumAnswers; ++i) {
        RichTextPane* a = answers_[static_cast<size_t>(i)];
        a->setVisible(round_.answerVisible(i));
        a->viewport()->setCursor(round_.questionOpen() ? Qt::PointingHandCursor : Qt::ArrowCursor);
        SetBackground(a, ShadeColour(round_.shade(i)));
    }
    UpdateAnswerStop();
    doAnswer_->setEnabled(round_.doAnswerEnabled());
    doNext_->setEnabled(round_.doNextEnabled());
    answerRight_->setVisible(round_.rightShown());
    answerWrong_->setVisible(round_.wrongShown());
    state0_->setText(QString::number(round_.totalQuestions()));
    state1_->setText(QString::number(round_.remainingQuestions()));
    state2_->setText(QString::number(round_.rightAnswers()));
    timeLeft_->setText(Q(round_.timeText()));
    for (int i = 0; i < QuizRound::kNumJokerSlots; ++i) {
        CommandButton* b = jokers_[static_cast<size_t>(i)];
        switch (round_.jokerType(i)) {
        case QuizRound::kFiftyFifty: b->SetCaption("50-50"); break;
        case QuizRound::kNextQuestion: b->SetCaption(TextConstants::LangText("N\xe4" "chste Frage", "Next question")); break;
        case QuizRound::kNoJoker: break;
        }
        b->setVisible(round_.jokerType(i) != QuizRound::kNoJoker);
        // A joker acts only on an open question; used ones stay grey.
        b->setEnabled(round_.jokerEnabled(i) && round_.questionOpen());
    }
}

void Quiz::ClockChanged(bool running) {
    if (!secTimer_) return;
    if (running)
        secTimer_->start();
    else
        secTimer_->stop();
}

// --- Handlers (they run without the input guard: the round is the player's) -------------

void Quiz::Answer_Click(int index) { round_.SelectAnswer(index); }
void Quiz::DoAnswer_Click() {
    if (doAnswer_->hasFocus())
        AnswerByKeyboard();
    else
        round_.DoAnswer();
}

void Quiz::AnswerByKeyboard() {
    round_.DoAnswer();
    // Played by keyboard, the focus goes on to the next step of the round.
    if (doNext_->isEnabled()) doNext_->setFocus();
}

void Quiz::DoNext_Click() {
    const bool keyboard = doNext_->hasFocus();
    round_.DoNext();
    if (!keyboard) return;
    for (const auto& a : answers_)
        if (a && a->isVisible()) {
            a->setFocus(Qt::TabFocusReason);
            break;
        }
}

void Quiz::UpdateAnswerStop() {
    // The stop is the answer marked, else the first one shown; the others
    // take the focus by a click or an arrow key.
    const int marked = round_.selected();
    int stop = marked >= 0 && marked < QuizRound::kNumAnswers && round_.answerVisible(marked) ? marked : -1;
    for (int i = 0; i < QuizRound::kNumAnswers && stop < 0; ++i)
        if (round_.answerVisible(i)) stop = i;
    for (int i = 0; i < QuizRound::kNumAnswers; ++i)
        if (RichTextPane* a = answers_[static_cast<size_t>(i)])
            a->setFocusPolicy(i == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

bool Quiz::AnswerKey(int index, const QKeyEvent& key) {
    const auto plain = key.modifiers() & ~Qt::KeypadModifier;
    if (const int step = WindowKeys::ArrowStep(key)) {
        // Round the answers shown, top to bottom, marking the one reached.
        int to = index;
        do {
            to = (to + step + QuizRound::kNumAnswers) % QuizRound::kNumAnswers;
        } while (to != index && !round_.answerVisible(to));
        answers_[static_cast<size_t>(to)]->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        Run([this, to] { Answer_Click(to); });
        return true;
    }
    if (key.key() == Qt::Key_Space && plain == Qt::NoModifier) {
        Run([this, index] { Answer_Click(index); });
        return true;
    }
    if (IsEnterKey(key)) {
        // Enter gives the answer it is pressed on, marked by the way.
        if (!key.isAutoRepeat())
            Run([this, index] {
                Answer_Click(index);
                if (doAnswer_->isEnabled()) AnswerByKeyboard();
            });
        return true;
    }
    return false;
}

void Quiz::Joker_Click(int slot) { round_.ExecJoker(slot); }
void Quiz::SecTimer_Timer() { round_.Tick(); }

bool Quiz::eventFilter(QObject* watched, QEvent* event) {
    const bool click = event->type() == QEvent::MouseButtonPress &&
                       static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    const bool key = event->type() == QEvent::KeyPress;
    if (click || key) {
        for (int i = 0; i < QuizRound::kNumAnswers; ++i) {
            RichTextPane* a = answers_[static_cast<size_t>(i)];
            if (!a || watched != (click ? a->viewport() : static_cast<QWidget*>(a))) continue;
            if (key) return AnswerKey(i, *static_cast<QKeyEvent*>(event)) || ChildForm::eventFilter(watched, event);
            Run([this, i] { Answer_Click(i); });
            return true;
        }
    }
    return ChildForm::eventFilter(watched, event);
}

void Quiz::OnNotify(int code, const std::string& text) {
    if (code == 0) Searches::FollowLink(text, nullptr, nullptr);
}

// --- Unload ---------------------------------------------------------------------------------

void Quiz::CloseForNewRound() {
    if (!IsLoaded()) return;
    newRound_ = true;
    if (!Unload(UnloadMode::User)) newRound_ = false;
}

void Quiz::Form_Unload(bool&) {
    const bool newRound = std::exchange(newRound_, false);
    if (secTimer_) secTimer_->stop();
    questionTd_.reset();
    descrTd_.reset();
    for (auto& td : answerTds_) td.reset();
    // Closing the quiz brings its options back for the next round; not when
    // the program closes, nor when every window closes at once (the command
    // or a tutorial's start), which would leave them as the one window open,
    // nor when they asked for a new round.
    if (!newRound && !WinMan::appClosing && !WinMan::ClosingAllWindows()) QuizWindows::ShowForm("QuizOptions");
}
