#include "HelpViewer.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "Cp1252.h"
#include "LowLevel.h"
#include "QtLowLevel.h"
#include "QtText.h"
#include "TextConstants.h"

namespace LowLevel {

using TextConstants::EditionText;
using TextConstants::LangText;

namespace {

QString Tr(const std::string& german, const std::string& english) {
    return QtText::ToQt(LangText(german, english));
}

// Topic names are window, control, message and heading names: letters,
// digits, "_" and "-". Anything else could reach outside the help folder.
bool IsTopicName(const QString& topic) {
    if (topic.isEmpty() || topic.size() > 200) return false;
    for (QChar c : topic) {
        char16_t u = c.unicode();
        bool ok = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '_' ||
                  u == '-';
        if (!ok) return false;
    }
    return true;
}

}  // namespace

QString DefaultHelpFolder() { return ProgramFolder() + QStringLiteral("/help"); }

HelpViewer::HelpViewer(const QString& helpFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), folder_(QDir::cleanPath(helpFolder)) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QtText::ToQt(EditionText("Orsabrine", "Talvessin")) + Tr(" - Hilfe", " Help"));
    resize(760, 580);

    back_ = new QPushButton(Tr("Zurück"_cp, "Back"), this);
    forward_ = new QPushButton(Tr("Vorwärts"_cp, "Forward"), this);
    contents_ = new QPushButton(Tr("Inhalt", "Contents"), this);
    back_->setEnabled(false);
    forward_->setEnabled(false);
    auto* bar = new QHBoxLayout;
    bar->addWidget(back_);
    bar->addWidget(forward_);
    bar->addWidget(contents_);
    bar->addStretch(1);

    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("HelpNote"));
    note_->setWordWrap(true);
    note_->setTextFormat(Qt::PlainText);
    note_->setStyleSheet(QStringLiteral(
        "QLabel#HelpNote { background: #fff4c2; color: #3a3000; border: 1px solid #d9c36a; padding: 6px; }"));
    note_->hide();

    browser_ = new QTextBrowser(this);
    browser_->setOpenLinks(false);
    browser_->setOpenExternalLinks(false);
    browser_->setSearchPaths({folder_});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(note_);
    layout->addWidget(browser_, 1);

    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpViewer::OpenLink);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QWidget::setEnabled);
    connect(back_, &QPushButton::clicked, this, [this] {
        SetNote({});
        browser_->backward();
    });
    connect(forward_, &QPushButton::clicked, this, [this] {
        SetNote({});
        browser_->forward();
    });
    connect(contents_, &QPushButton::clicked, this, [this] { ShowIndex(); });
}

QString HelpViewer::TopicFile(const QString& topic) const {
    if (!IsTopicName(topic)) return {};
    QDir dir(folder_);
    QString exact = dir.filePath(topic + QStringLiteral(".html"));
    if (QFileInfo(exact).isFile()) return exact;
    // Pages written with another case of the same name serve as well.
    const QStringList pages = dir.entryList({QStringLiteral("*.html")}, QDir::Files);
    for (const QString& page : pages)
        if (page.compare(topic + QStringLiteral(".html"), Qt::CaseInsensitive) == 0) return dir.filePath(page);
    return {};
}

void HelpViewer::ShowTopic(const std::string& topic) {
    QString name = QtText::ToQt(topic);
    QString file = TopicFile(name);
    if (!file.isEmpty()) {
        SetNote({});
        browser_->setSource(QUrl::fromLocalFile(file));
        return;
    }
    if (name.isEmpty())
        ShowIndex(Tr("Zu diesem Thema gibt es keine Hilfeseite. Hier ist das Inhaltsverzeichnis der Hilfe.",
                     "There is no help page for this topic. Here are the contents of the help."));
    else
        ShowIndex(Tr("Zum Thema \x84" "%1\x93 gibt es keine Hilfeseite. Hier ist das Inhaltsverzeichnis der Hilfe.",
                     "There is no help page for the topic \"%1\". Here are the contents of the help.")
                      .arg(name));
}

void HelpViewer::ShowIndex(const QString& note) {
    SetNote(note);
    QString index = QDir(folder_).filePath(QStringLiteral("index.html"));
    if (QFileInfo(index).isFile()) {
        browser_->setSource(QUrl::fromLocalFile(index));
        return;
    }
    // No index page: list the pages there are.
    QStringList pages = QDir(folder_).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
    QString html = QStringLiteral("<h2>%1</h2>").arg(Tr("Hilfethemen", "Help topics").toHtmlEscaped());
    if (pages.isEmpty()) {
        html += QStringLiteral("<p>%1</p>").arg(
            Tr("Es sind keine Hilfeseiten installiert.", "No help pages are installed.").toHtmlEscaped());
    } else {
        html += QStringLiteral("<ul>");
        for (const QString& page : pages) {
            QString topic = QFileInfo(page).completeBaseName();
            html += QStringLiteral("<li><a href=\"%1\">%2</a></li>")
                        .arg(QString::fromLatin1(QUrl::toPercentEncoding(page)), topic.toHtmlEscaped());
        }
        html += QStringLiteral("</ul>");
    }
    browser_->setSource(QUrl());
    browser_->clearHistory();
    browser_->setHtml(html);
}

QUrl HelpViewer::CurrentPage() const { return browser_->source(); }
bool HelpViewer::NoteShown() const { return !note_->isHidden(); }
QString HelpViewer::NoteText() const { return note_->text(); }

void HelpViewer::SetNote(const QString& note) {
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
}

bool HelpViewer::InsideHelpFolder(const QString& file) const {
    QString canonical = QFileInfo(file).canonicalFilePath();
    QString root = QFileInfo(folder_).canonicalFilePath();
    return !canonical.isEmpty() && !root.isEmpty() && canonical.startsWith(root + QLatin1Char('/'));
}

void HelpViewer::OpenLink(const QUrl& link) {
    QString scheme = link.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto")) {
        LowLevel::ShellOpen(QtText::FromQt(link.toString()));
        return;
    }
    QUrl base = browser_->source().isValid() ? browser_->source()
                                             : QUrl::fromLocalFile(folder_ + QLatin1Char('/'));
    QUrl url = base.resolved(link);
    if (!url.isLocalFile()) return;
    if (url.adjusted(QUrl::RemoveFragment) == browser_->source().adjusted(QUrl::RemoveFragment) &&
        browser_->source().isValid()) {
        browser_->scrollToAnchor(url.fragment());
        return;
    }
    QString file = url.toLocalFile();
    QString suffix = QFileInfo(file).suffix().toLower();
    if ((suffix == QLatin1String("html") || suffix == QLatin1String("htm")) && InsideHelpFolder(file)) {
        SetNote({});
        browser_->setSource(url);
    }
}

QtHelp::QtHelp(QString helpFolder) : folder_(std::move(helpFolder)) {}
QtHelp::~QtHelp() = default;

void QtHelp::ShowTopic(const std::string& topic) {
    if (!viewer_) viewer_ = std::make_unique<HelpViewer>(folder_);
    viewer_->ShowTopic(topic);
    viewer_->show();
    viewer_->raise();
    viewer_->activateWindow();
}

}  // namespace LowLevel
