// The program's help: topic pages help/<topic>.html of the program folder,
// shown in a window of the program's own.
#pragma once

#include <QString>
#include <QUrl>
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

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(const QString& helpFolder, QWidget* parent = nullptr);

    // Shows the page of topic (cp1252). A topic without a page (or with a
    // name that is no plain topic name) shows the index with a note.
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

private:
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
    explicit QtHelp(QString helpFolder = DefaultHelpFolder());
    ~QtHelp() override;
    void ShowTopic(const std::string& topic) override;
    // The viewer, or null before the first topic.
    HelpViewer* Viewer() const { return viewer_.get(); }

private:
    QString folder_;
    std::unique_ptr<HelpViewer> viewer_;
};

}  // namespace LowLevel
