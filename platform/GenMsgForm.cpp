#include "GenMsgForm.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QTextCursor>
#include <QTextEdit>

#include "FocusMark.h"
#include "FormControls.h"
#include "LowLevel.h"
#include "QtText.h"
#include "TextConstants.h"

namespace {

// The window was laid out in twips; 15 twips make one pixel.
QRect Twips(int left, int top, int width, int height) {
    auto px = [](int t) { return (t + 7) / 15; };
    return QRect(px(left), px(top), px(width), px(height));
}

}  // namespace

QPixmap StandardMessageIcon(const QString& key, int size) {
    QStyle::StandardPixmap sp = QStyle::SP_MessageBoxInformation;
    if (key == "Critical") sp = QStyle::SP_MessageBoxCritical;
    else if (key == "Exclamation") sp = QStyle::SP_MessageBoxWarning;
    else if (key == "Question") sp = QStyle::SP_MessageBoxQuestion;
    else if (key != "Info") return QPixmap();
    return QApplication::style()->standardIcon(sp).pixmap(size, size);
}

GenMsgForm::GenMsgForm(QWidget* owner) : QDialog(owner) {
    setObjectName("GenMsgForm");
    setModal(true);
    FocusMark::Install();
    setWindowFlags(kDialogFrame | Qt::MSWindowsFixedSizeDialogHint);
    QRect client = Twips(0, 0, 6948, 1716);
    setFixedSize(client.size());

    msgClass_ = new QLabel(this);
    msgClass_->setObjectName("MsgClass");
    msgClass_->setGeometry(Twips(120, 120, 615, 615));
    msgClass_->setAlignment(Qt::AlignCenter);

    msgText_ = new QTextEdit(this);
    msgText_->setObjectName("MsgText");
    msgText_->setGeometry(Twips(900, 120, 5895, 1035));
    msgText_->setReadOnly(true);
    msgText_->setFrameShape(QFrame::NoFrame);
    // The text is read, and what it names (an address the desktop could not
    // open, a path) is copied from it: by the mouse, or by Tab, which comes
    // in with that name selected for Ctrl+C. The text shows a frame while it
    // has the keyboard.
    msgText_->setFocusPolicy(Qt::StrongFocus);
    msgText_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    msgText_->installEventFilter(this);
    msgText_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    msgText_->viewport()->setAutoFillBackground(false);
    QFont font("Arial");
    font.setPointSize(8);
    msgText_->document()->setDefaultFont(font);
    // Room for the frame the text shows while it has the keyboard.
    msgText_->document()->setDocumentMargin(3);

    // Enter presses the button with the focus (the frame of the default
    // button follows it), else the preferred one; Escape is No, or OK.
    auto button = [this](const char* name, QRect geometry) {
        auto* b = new CommandButton(this);
        b->setObjectName(name);
        b->setGeometry(geometry);
        return b;
    };
    answerYes_ = button("AnswerYes", Twips(1440, 1260, 1275, 375));
    answerNo_ = button("AnswerNo", Twips(2820, 1260, 1275, 375));
    doHelp1_ = button("DoHelp1", Twips(4200, 1260, 1275, 375));
    doOk_ = button("DoOk", Twips(2100, 1260, 1275, 375));
    doHelp0_ = button("DoHelp0", Twips(3480, 1260, 1275, 375));

    connect(answerYes_, &QPushButton::clicked, this, [this] {
        Answer = true;
        accept();
    });
    connect(answerNo_, &QPushButton::clicked, this, [this] {
        Answer = false;
        reject();
    });
    connect(doOk_, &QPushButton::clicked, this, [this] { accept(); });
    connect(doHelp0_, &QPushButton::clicked, this, [this] { Help(); });
    connect(doHelp1_, &QPushButton::clicked, this, [this] { Help(); });

    helpHandler = [](const std::string& topic) { LowLevel::ShowHelpTopic(topic); };
    iconProvider = [](const QString& key) { return StandardMessageIcon(key, Twips(0, 0, 615, 615).width()); };
    SetTexts();
}

void GenMsgForm::SetTexts() {
    using TextConstants::LangText;
    setWindowTitle(QtText::ToQt(LangText("Orsabrine", "Talvessin")));
    answerYes_->setText(QtText::ToQt(LangText("Ja", "Yes")));
    answerNo_->setText(QtText::ToQt(LangText("Nein", "No")));
    doHelp1_->setText(QtText::ToQt(LangText("Hilfe", "Help")));
    doOk_->setText(QtText::ToQt(LangText("OK", "OK")));
    doHelp0_->setText(QtText::ToQt(LangText("Hilfe", "Help")));
}

void GenMsgForm::SetMsgText(const std::vector<Services::MsgRun>& runs) {
    // Built through a cursor, never from HTML: no text of a run can turn into
    // mark-up, whatever characters it holds.
    QTextDocument* doc = msgText_->document();
    doc->clear();
    QTextCursor cursor(doc);
    QTextCharFormat plain;
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (const auto& run : runs) {
        if (run.lineBreak) cursor.insertText(QString(QChar::LineSeparator), plain);
        else cursor.insertText(QtText::ToQt(run.text), run.bold ? bold : plain);
    }
    msgText_->moveCursor(QTextCursor::Start);
}

void GenMsgForm::Prepare(const Services::Message& m) {
    SetTexts();
    Answer = false;
    bool question = m.question;
    HelpTag = m.helpTag;
    bool help = !HelpTag.empty();
    // A message without a help page of its own offers no Help button; the
    // buttons left stay centred in the row.
    answerYes_->setVisible(question);
    answerNo_->setVisible(question);
    doHelp1_->setVisible(question && help);
    doOk_->setVisible(!question);
    doHelp0_->setVisible(!question && help);
    answerYes_->setGeometry(help ? Twips(1440, 1260, 1275, 375) : Twips(2147, 1260, 1275, 375));
    answerNo_->setGeometry(help ? Twips(2820, 1260, 1275, 375) : Twips(3527, 1260, 1275, 375));
    doOk_->setGeometry(help ? Twips(2100, 1260, 1275, 375) : Twips(2837, 1260, 1275, 375));

    iconKey_ = QString::fromLatin1(m.iconKey.c_str());
    msgClass_->setPixmap(iconProvider ? iconProvider(iconKey_) : QPixmap());

    // The preferred button is the one Enter presses and the one that has the
    // focus; No for a question, so a hasty Enter never says Yes.
    preferred_ = question ? answerNo_ : doOk_;
    for (QPushButton* b : {answerYes_, answerNo_, doHelp1_, doOk_, doHelp0_}) b->setDefault(b == preferred_);
    preferred_->setFocus();

    SetMsgText(m.runs);
    // Where the name the message is about stands in the text: the first bold
    // run that is the argument, counted as the text box counts characters.
    named_ = {};
    int at = 0;
    for (const auto& run : m.runs) {
        const int length = run.lineBreak ? 1 : static_cast<int>(QtText::ToQt(run.text).size());
        if (!m.arg.empty() && run.bold && run.text == m.arg) {
            named_ = {at, at + length};
            break;
        }
        at += length;
    }
}

bool GenMsgForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == msgText_ && event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) {
            // Reached by Tab: what the message names is selected, ready to
            // copy; a message that names nothing is selected whole.
            QTextCursor c(msgText_->document());
            if (named_.second > named_.first) {
                c.setPosition(named_.first);
                c.setPosition(named_.second, QTextCursor::KeepAnchor);
            } else {
                c.select(QTextCursor::Document);
            }
            msgText_->setTextCursor(c);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void GenMsgForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Whatever had the keyboard in the message before (Help, the text) and
    // whatever the showing did with it: each message starts on its
    // preferred button, so that Enter never opens the help.
    if (!event->spontaneous() && preferred_ && preferred_->isVisibleTo(this))
        preferred_->setFocus(Qt::OtherFocusReason);
}

void GenMsgForm::CentreOnOwner() {
    QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    QRect area;
    if (owner && owner->isVisible()) area = owner->frameGeometry();
    else if (QScreen* s = QApplication::primaryScreen()) area = s->availableGeometry();
    if (area.isValid()) move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
}

bool GenMsgForm::ShowModal(const Services::Message& m) {
    Prepare(m);
    CentreOnOwner();
    exec();
    return Answer;
}

void GenMsgForm::Help() {
    if (!HelpTag.empty() && helpHandler) helpHandler(HelpTag);
}
