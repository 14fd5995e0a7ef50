#include "ShellKit.h"

#include <QFile>
#include <QApplication>
#include <QHash>
#include <QIcon>
#include <QIconEngine>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

#include "Atom.h"
#include "DataBase.h"
#include "Options.h"
#include "QtText.h"

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(pal);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    setFocusPolicy(Qt::StrongFocus);
}

void LinkLabel::SetCaption(const std::string& text) { setText(QtText::ToQt(text)); }
std::string LinkLabel::Caption() const { return QtText::FromQt(text()); }
void LinkLabel::Press() { Fire(onClick); }

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Press();
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
    if (!IsEnterKey(*event) && !(event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier)) {
        QLabel::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!event->isAutoRepeat()) Press();
}

void LinkLabel::paintEvent(QPaintEvent* event) {
    if (!hasFocus()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter p(this);
    const QRect text = style()->itemTextRect(fontMetrics(), contentsRect(), alignment(), isEnabled(), this->text());
    p.fillRect(text.adjusted(-2, 0, 2, 0) & rect(), palette().color(QPalette::Highlight));
    p.setPen(palette().color(QPalette::HighlightedText));
    p.drawText(text, static_cast<int>(alignment()), this->text());
}

// The pictures live in a resource of the static ui library: registered
// explicitly, as nothing else would pull them into the program.
static void InitPictures() { Q_INIT_RESOURCE(Toolbar); }

namespace {

QString PictureFile(const std::string& key) {
    static const bool registered = (InitPictures(), true);
    (void)registered;
    return QStringLiteral(":/toolbar/%1.svg").arg(QString::fromStdString(key));
}

}  // namespace

bool HasProgramPicture(const std::string& key) { return !key.empty() && QFile::exists(PictureFile(key)); }

// The picture drawn at build time at this side (null if it was not).
QImage BuiltPicture(const std::string& key, int side);

QPixmap ProgramPicture(const std::string& key, int size) {
    // Each picture is made once a size (the frame's start-up may have made
    // the toolbar's ahead, see KFrame::PreparePictures).
    const QString cacheKey = QStringLiteral("ProgramPicture/%1/%2").arg(QString::fromStdString(key)).arg(size);
    QPixmap pm;
    if (QPixmapCache::find(cacheKey, &pm)) return pm;
    if (const QImage built = BuiltPicture(key, size); !built.isNull()) {
        pm = QPixmap::fromImage(built);
        QPixmapCache::insert(cacheKey, pm);
        return pm;
    }
    QString file = PictureFile(key);
    if (size <= 0 || !QFile::exists(file)) return {};
    QSvgRenderer svg(file);
    if (!svg.isValid()) return {};
    pm = QPixmap(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p);
    return pm;
}

namespace {

// One of the program's pictures drawn when it is first shown, at the size it
// is shown at (each size once): start-up draws only what the first frame
// shows, and a window icon that nothing shows is never drawn.
class PictureEngine : public QIconEngine {
public:
    explicit PictureEngine(std::string key) : key_(std::move(key)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const int side = std::min(size.width(), size.height());
        if (side <= 0) return {};
        const quint64 at = (static_cast<quint64>(side) << 8) | static_cast<quint64>(mode);
        if (auto it = cache_.find(at); it != cache_.end()) return it.value();
        QPixmap pm;
        if (mode == QIcon::Disabled || mode == QIcon::Selected) {
            QPixmap normal = pixmap(size, QIcon::Normal, state);
            QStyleOption opt(0);
            opt.palette = QApplication::palette();
            pm = normal.isNull() ? normal : QApplication::style()->generatedIconPixmap(mode, normal, &opt);
        } else {
            pm = ProgramPicture(key_, side);
        }
        cache_.insert(at, pm);
        return pm;
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {{16, 16}, {24, 24}, {32, 32}, {48, 48}};
    }
    bool isNull() override { return !Exists(); }
    QIconEngine* clone() const override { return new PictureEngine(key_); }
    QString key() const override { return QStringLiteral("ProgramPicture"); }

private:
    bool Exists() {
        if (exists_ < 0) exists_ = HasProgramPicture(key_) ? 1 : 0;
        return exists_ == 1;
    }
    std::string key_;
    int exists_ = -1;
    QHash<quint64, QPixmap> cache_;
};

}  // namespace

QIcon PictureIcon(const std::string& key) { return QIcon(new PictureEngine(key)); }

QIcon ProgramIcon() { return PictureIcon("Program"); }

void FitClient(FormBase& form, int width, int height) {
    QWidget* host = form.Host();
    QWidget* client = form.Client();
    if (!host || !client) return;
    host->setMinimumSize(0, 0);
    host->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    client->setMinimumSize(width, height);
    client->setMaximumSize(width, height);
    host->adjustSize();
    QSize outer = host->size();
    client->setMinimumSize(0, 0);
    client->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    form.Resize(outer.height() * 15.0, outer.width() * 15.0);
}

LinkTarget LinkTargetOf(const atom* a) {
    LinkTarget t;
    if (!a || a == DataBase::nothingAtom) return t;
    t.text = a->Text();
    t.id = a->id();
    t.colour = a->Color(Options::OptColor);
    t.bold = a->bold();
    t.shown = a->shown();
    return t;
}
