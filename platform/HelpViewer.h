// The program's help: topic pages help/<topic>.html (English) and
// help/de/<topic>.html (German) of the program folder, shown in a window of
// the program's own, and F1 for the help of the window the user works in.
#pragma once

#include <QString>
#include <QUrl>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>

#include "Services.h"

class QLabel;
class QPushButton;
class QTextBrowser;

namespace LowLevel {

// The help folder the program ships: help/ in the program folder.
QString DefaultHelpFolder();
// The pages of the current text language under a help folder: its de/
// folder for German, the folder itself for English.
QString LanguageFolder(const QString& helpFolder);

// The topic of the help's contents ("index"): the page the viewer's
// Contents button shows, which the frame's Help > Contents asks for too.
std::string ContentsTopic();

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    // The largest page, style sheet or picture the viewer reads (2 MiB; the
    // pages are a few kilobytes).
    static constexpr qint64 kMaxResourceBytes = 2 << 20;

    explicit HelpViewer(const QString& helpFolder, QWidget* parent = nullptr);

    // Shows the page of topic (cp1252); ContentsTopic() shows the index. A
    // topic without a page (or with a name that is no plain topic name)
    // shows the index with a plain note that never repeats the topic: topic
    // names are the program's own.
    void ShowTopic(const std::string& topic);
    // The index: help/index.html, or a generated list of the topic pages.
    void ShowIndex(const QString& note = QString());

    QString HelpFolder() const { return folder_; }
    // The page shown (empty for the generated index).
    QUrl CurrentPage() const;
    bool NoteShown() const;
    QString NoteText() const;
    QTextBrowser* Browser() const { return browser_; }
    // The topic page file of a topic, or "" when there is none.
    QString TopicFile(const QString& topic) const;

    // Keeps the viewer usable and in front while a modal window runs: a
    // window outside the modal one would be blocked and stay behind it, so
    // the viewer becomes a window of the modal one until that one hides.
    void StayAbove(QWidget* modal);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Detach();
    // Back and Forward as the page history allows.
    void UpdateButtons();
    void OpenLink(const QUrl& url);
    void SetNote(const QString& note);
    bool InsideHelpFolder(const QString& file) const;

    QString folder_;
    QTextBrowser* browser_ = nullptr;
    QLabel* note_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* forward_ = nullptr;
    QPushButton* contents_ = nullptr;
};

// The help service: one viewer window, made on first use, brought to the
// front for every topic.
class QtHelp : public Services::Help {
public:
    // helpFolder holds the English pages and de/ the German ones; the text
    // language at the time of each topic picks the folder.
    explicit QtHelp(QString helpFolder = DefaultHelpFolder());
    ~QtHelp() override;
    void ShowTopic(const std::string& topic) override;
    // The viewer, or null before the first topic.
    HelpViewer* Viewer() const { return viewer_.data(); }

private:
    QString folder_;
    // A modal window the viewer stays above owns it meanwhile; should that
    // window go, the next topic makes a new viewer.
    QPointer<HelpViewer> viewer_;
};

// F1: the help of the window that has the keyboard, as its Help button gives
// it: a dialog or child window by its name, the frame's active child window
// (or the frame itself when none is open), the message window by the tag of
// its message (nothing for a message without one). Installed on the
// application while it lives.
class HelpKey : public QObject {
    Q_OBJECT
public:
    HelpKey();
    ~HelpKey() override;
    // The topic F1 gives for a key press that reached widget; "" when F1
    // has nothing to show there (the help viewer, a message without help).
    static std::string TopicFor(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace LowLevel
