// The program's own message window: the class icon, the message text with its
// bold parts and line breaks, and Yes/No/Help for a question or OK/Help for
// any other message. One window, kept and reused; shown modally over the frame.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <functional>
#include <utility>
#include <string>
#include <vector>

#include "Services.h"

class QLabel;
class QPushButton;
class QTextEdit;

class GenMsgForm : public QDialog {
    Q_OBJECT
public:
    explicit GenMsgForm(QWidget* owner = nullptr);

    // Sets the window up for a message without showing it: icon, buttons, the
    // preferred button, help topic and text.
    void Prepare(const Services::Message& message);
    // Prepare, centre on the owner, show modally; True when Yes was pressed.
    bool ShowModal(const Services::Message& message);

    // Renders the runs into the text box: bold runs bold, line-break runs as
    // line breaks, every character of a run's text as it is.
    void SetMsgText(const std::vector<Services::MsgRun>& runs);
    // Captions by the text language: "Ja"/"Yes", ... and "Orsabrine"/"Talvessin".
    void SetTexts();
    // Receives the window manager's broadcasts and does nothing with them.
    void Notify(int code, const std::string& text) {}

    // Pressing Help (or F1) opens the topic named by the message's tag; by
    // default through the program's help.
    std::function<void(const std::string& topic)> helpHandler;
    void Help();
    // The picture of an icon key ("Critical", "Exclamation", "Question", "Info").
    std::function<QPixmap(const QString& key)> iconProvider;

    bool Answer = false;
    std::string HelpTag;
    QString IconKey() const { return iconKey_; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CentreOnOwner();

    QLabel* msgClass_;
    QTextEdit* msgText_;
    QPushButton* answerYes_;
    QPushButton* answerNo_;
    QPushButton* doHelp1_;
    QPushButton* doOk_;
    QPushButton* doHelp0_;
    QPushButton* preferred_ = nullptr;
    QString iconKey_;
    std::pair<int, int> named_;  // where the message's argument stands in the text, empty for none
};

// The standard message-box pictures of the style for the four icon keys.
QPixmap StandardMessageIcon(const QString& key, int size);
