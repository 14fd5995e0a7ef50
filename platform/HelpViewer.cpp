#include "HelpViewer.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QScreen>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>

#include "Cp1252.h"
#include "Errors.h"
#include "FileOp.h"
#include "FormBase.h"
#include "FormControls.h"
#include "GenMsgForm.h"
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

// The help folder of a folder of pages: the German pages' folder "de" lies
// in it, the English pages are the folder itself (LanguageFolder turned
// round). Their resources may lie anywhere in it (the German pages take the
// style sheet "../help.css").
QString HelpRoot(const QString& pagesFolder) {
    QFileInfo pages(pagesFolder);
    return pages.fileName() == QLatin1String("de") ? pages.absolutePath() : pages.absoluteFilePath();
}

// How deeply a page nests its elements, and its tables among them. The text
// engine lays out a table inside a table again for every level around it
// (time doubling per level), and nesting of some thousand levels overflows
// its stack. Elements whose end the engine may find by itself (a paragraph,
// a list item, a table's row or cell) and elements without content are not
// counted; what script or style elements hold is no markup.
struct Nesting {
    int elements = 0, tables = 0;
};

Nesting NestingOf(const QByteArray& html) {
    static const QByteArrayList uncounted = {
        "area", "base", "br", "col", "colgroup", "caption", "dd", "dt", "embed", "head", "hr", "html", "body",
        "img", "input", "li", "link", "meta", "option", "optgroup", "p", "param", "source", "tbody", "td",
        "tfoot", "th", "thead", "tr", "track", "wbr"};
    Nesting deepest, now;
    for (qsizetype at = html.indexOf('<'); at >= 0 && at + 1 < html.size(); at = html.indexOf('<', at + 1)) {
        if (QByteArrayView(html).sliced(at).startsWith("<!--")) {
            at = html.indexOf("-->", at + 4);
            if (at < 0) break;
            continue;
        }
        const bool end = html[at + 1] == '/';
        qsizetype from = at + (end ? 2 : 1), to = from;
        while (to < html.size() && std::isalnum(static_cast<unsigned char>(html[to]))) ++to;
        if (to == from) continue;
        const QByteArray tag = html.mid(from, to - from).toLower();
        const qsizetype close = html.indexOf('>', to);
        if (close < 0) break;
        if (uncounted.contains(tag) || (!end && html[close - 1] == '/')) continue;
        if (!end && (tag == "script" || tag == "style")) {
            at = html.indexOf("</" + tag, close);
            if (at < 0) break;
            continue;
        }
        const int step = end ? -1 : 1;
        now.elements = std::max(0, now.elements + step);
        if (tag == "table") now.tables = std::max(0, now.tables + step);
        deepest.elements = std::max(deepest.elements, now.elements);
        deepest.tables = std::max(deepest.tables, now.tables);
    }
    return deepest;
}

// The help's browser. A page names the pictures and style sheets it wants,
// and could name any file of the system (<img src="/dev/zero"> reads until
// the memory is gone, a named pipe never answers): every page and resource
// is read here, from a plain file inside the help folder no larger than
// HelpViewer::kMaxResourceBytes, and anything else is refused with an empty
// one. The answer is never empty-handed, for on none Qt would read the file
// itself, and a picture is decoded here for the same reason.
class HelpBrowser : public QTextBrowser {
public:
    HelpBrowser(const QString& pagesFolder, QWidget* parent)
        : QTextBrowser(parent), pages_(pagesFolder), root_(QFileInfo(HelpRoot(pagesFolder)).canonicalFilePath()) {}

    QVariant loadResource(int type, const QUrl& name) override {
        QByteArray bytes = Read(name);
        if (type == QTextDocument::HtmlResource) {
            // The help's own pages nest five elements deep and hold no table.
            const Nesting n = NestingOf(bytes);
            if (n.elements > kMaxNesting || n.tables > kMaxTables) {
                Errors::LogEntry("HelpViewer", "loadResource",
                                 QtText::FromQt(name.toString()) + ": nested " + std::to_string(n.elements) +
                                     " deep, tables " + std::to_string(n.tables) + ": not shown");
                return QStringLiteral("<p>%1</p>")
                    .arg(Tr("Diese Hilfeseite kann nicht angezeigt werden: Sie ist tiefer verschachtelt, als "
                            "die Hilfe erlaubt.",
                            "This help page cannot be shown: it is nested more deeply than the help allows.")
                             .toHtmlEscaped());
            }
        }
        if (type != QTextDocument::ImageResource) return bytes.isNull() ? QByteArray("") : bytes;
        QImage picture;
        if (!bytes.isEmpty()) {
            QBuffer buffer(&bytes);
            QImageReader reader(&buffer);
            reader.setAllocationLimit(kPictureMegabytes);
            picture = reader.read();
        }
        if (picture.isNull()) {
            picture = QImage(1, 1, QImage::Format_ARGB32);
            picture.fill(Qt::transparent);
        }
        return picture;
    }

private:
    // Memory a decoded picture may take, in megabytes.
    static constexpr int kPictureMegabytes = 64;
    // The deepest nesting of a page that is shown, of elements and of tables
    // (ten tables in each other take the text engine a frame's time already).
    static constexpr int kMaxNesting = 64, kMaxTables = 8;

    // The file's bytes, or a null array when it is refused.
    QByteArray Read(const QUrl& name) const {
        QUrl url = name;
        if (url.isRelative())
            url = (source().isValid() ? source() : QUrl::fromLocalFile(pages_ + QLatin1Char('/'))).resolved(name);
        if (!url.isLocalFile() || root_.isEmpty()) return {};
        QFileInfo file(QFileInfo(url.toLocalFile()).canonicalFilePath());
        if (!file.filePath().startsWith(root_ + QLatin1Char('/')) || !file.isFile() ||
            file.size() > HelpViewer::kMaxResourceBytes)
            return {};
        FileOp::InputFile in;
        if (in.Open(QFile::encodeName(file.filePath()).toStdString()) != 0) return {};
        // One byte more than it holds tells a file that grew since: refused.
        QByteArray bytes(file.size() + 1, Qt::Uninitialized);
        bytes.resize(static_cast<qsizetype>(in.Read(bytes.data(), static_cast<std::size_t>(bytes.size()))));
        if (in.Error() != 0 || bytes.size() > file.size()) return {};
        return bytes;
    }

    QString pages_;
    QString root_;
};

}  // namespace

QString DefaultHelpFolder() { return ProgramFolder() + QStringLiteral("/help"); }

QString LanguageFolder(const QString& helpFolder) {
    return TextConstants::textLanguage == 0 ? helpFolder + QStringLiteral("/de") : helpFolder;
}

HelpViewer::HelpViewer(const QString& helpFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), folder_(QDir::cleanPath(helpFolder)) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QtText::ToQt(EditionText("Orsabrine", "Talvessin")) + Tr(" - Hilfe", " Help"));
    resize(760, 580);

    // Its buttons take Enter as well as Space when they have the focus.
    auto button = [this](const QString& caption) {
        auto* b = new CommandButton(this);
        b->setText(caption);
        return b;
    };
    back_ = button(Tr("Zurück"_cp, "Back"));
    forward_ = button(Tr("Vorwärts"_cp, "Forward"));
    contents_ = button(Tr("Inhalt", "Contents"));
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

    browser_ = new HelpBrowser(folder_, this);
    browser_->setOpenLinks(false);
    browser_->setOpenExternalLinks(false);
    browser_->setSearchPaths({folder_});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(note_);
    layout->addWidget(browser_, 1);

    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpViewer::OpenLink);
    connect(browser_, &QTextBrowser::historyChanged, this, &HelpViewer::UpdateButtons);
    connect(back_, &QPushButton::clicked, this, [this] {
        SetNote({});
        browser_->backward();
    });
    connect(forward_, &QPushButton::clicked, this, [this] {
        SetNote({});
        browser_->forward();
    });
    connect(contents_, &QPushButton::clicked, this, [this] { ShowTopic(ContentsTopic()); });
}

void HelpViewer::UpdateButtons() {
    // Both together: the page history grays Back before it lights Forward,
    // and the keyboard on Back went on past the still gray Forward.
    EnableTogether({{back_, browser_->isBackwardAvailable()}, {forward_, browser_->isForwardAvailable()}});
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

std::string ContentsTopic() { return "index"; }

void HelpViewer::ShowTopic(const std::string& topic) {
    if (topic == ContentsTopic()) {
        ShowIndex();
        return;
    }
    QString file = TopicFile(QtText::ToQt(topic));
    if (!file.isEmpty()) {
        SetNote({});
        browser_->setSource(QUrl::fromLocalFile(file));
        return;
    }
    ShowIndex(Tr("Zu diesem Thema gibt es keine eigene Hilfeseite. Hier ist das Inhaltsverzeichnis der Hilfe.",
                 "There is no help page of its own for this subject. Here are the contents of the help."));
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
        // Listed by their titles: file names are topic names of the program.
        static const QRegularExpression titleTag(QStringLiteral("<title>([^<]*)</title>"),
                                                 QRegularExpression::CaseInsensitiveOption);
        for (const QString& page : pages) {
            QString title;
            QFile f(QDir(folder_).filePath(page));
            if (f.open(QIODevice::ReadOnly)) {
                auto m = titleTag.match(QString::fromUtf8(f.read(4096)));
                if (m.hasMatch()) title = m.captured(1).trimmed();
            }
            if (title.isEmpty()) title = QFileInfo(page).completeBaseName();
            html += QStringLiteral("<li><a href=\"%1\">%2</a></li>")
                        .arg(QString::fromLatin1(QUrl::toPercentEncoding(page)), title.toHtmlEscaped());
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
        LowLevel::ShellOpenOrShow(QtText::FromQt(link.toString()));
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

void HelpViewer::StayAbove(QWidget* modal) {
    if (modal == this || (modal && isAncestorOf(modal))) modal = nullptr;
    if (parentWidget() == modal) return;
    if (parentWidget()) Detach();
    if (!modal) return;
    QRect place = geometry();
    bool wasShown = isVisible();
    setParent(modal, windowFlags());
    modal->installEventFilter(this);
    if (!wasShown) return;
    setGeometry(place);
    show();
}

void HelpViewer::Detach() {
    QWidget* owner = parentWidget();
    if (!owner) return;
    owner->removeEventFilter(this);
    QRect place = geometry();
    bool wasShown = isVisible();
    setParent(nullptr, windowFlags());
    setGeometry(place);
    if (!wasShown) return;
    // Back on its own, but the keyboard goes back to the window the modal
    // one came from, not to the help.
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    show();
    setAttribute(Qt::WA_ShowWithoutActivating, false);
}

void HelpViewer::keyPressEvent(QKeyEvent* event) {
    // Escape puts the viewer away as its close box does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && !event->isAutoRepeat()) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool HelpViewer::eventFilter(QObject* watched, QEvent* event) {
    // The modal window is done: the viewer stays open on its own, or above
    // the modal window under it (a message over the options) when there is one.
    if (watched == parentWidget() && event->type() == QEvent::Hide) {
        Detach();
        QWidget* next = QApplication::activeModalWidget();
        if (next && next != watched && isVisible()) StayAbove(next);
    }
    return QWidget::eventFilter(watched, event);
}

QtHelp::QtHelp(QString helpFolder) : folder_(std::move(helpFolder)) {}
QtHelp::~QtHelp() { delete viewer_.data(); }

void QtHelp::ShowTopic(const std::string& topic) {
    QString folder = QDir::cleanPath(LanguageFolder(folder_));
    if (viewer_ && viewer_->HelpFolder() != folder) delete viewer_.data();
    if (!viewer_) {
        viewer_ = new HelpViewer(folder);
        // First shown at the right of the screen, beside the windows it
        // explains rather than over them.
        QWidget* asking = QApplication::activeWindow();
        QScreen* screen = asking ? asking->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            QRect area = screen->availableGeometry();
            QSize size = viewer_->size().boundedTo(area.size());
            viewer_->resize(size);
            viewer_->move(area.right() - size.width() - 8, area.top() + std::max(0, (area.height() - size.height()) / 3));
        }
    }
    viewer_->ShowTopic(topic);
    viewer_->StayAbove(QApplication::activeModalWidget());
    viewer_->show();
    viewer_->raise();
    viewer_->activateWindow();
}

// --- F1 ------------------------------------------------------------------------------

HelpKey::HelpKey() {
    if (qApp) qApp->installEventFilter(this);
}
HelpKey::~HelpKey() {
    if (qApp) qApp->removeEventFilter(this);
}

std::string HelpKey::TopicFor(QWidget* widget) {
    if (!widget) return {};
    QWidget* window = widget->window();
    if (qobject_cast<HelpViewer*>(window)) return {};
    if (auto* msg = qobject_cast<GenMsgForm*>(window)) return msg->HelpTag;
    // The innermost window of the program around the widget: a child window
    // inside the frame before the frame.
    const auto& forms = FormBase::LoadedForms();
    auto formOf = [&](const QWidget* host) -> FormBase* {
        for (FormBase* f : forms)
            if (f->Host() == host) return f;
        return nullptr;
    };
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        FormBase* form = formOf(w);
        if (!form) continue;
        if (form->kind() == FormBase::Kind::TopLevel && FormBase::MdiArea() && w->isAncestorOf(FormBase::MdiArea()))
            if (QMdiSubWindow* sub = FormBase::MdiArea()->activeSubWindow())
                if (FormBase* child = formOf(sub)) return child->Name();
        return form->Name();
    }
    return {};
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return false;
    std::string topic = TopicFor(widget);
    if (topic.empty()) return false;
    ShowHelpTopic(topic);
    return true;
}

}  // namespace LowLevel
