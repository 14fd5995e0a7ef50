#include "ShellKit.h"

#include <QByteArray>
#include <QFile>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
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
}

void LinkLabel::SetCaption(const std::string& text) { setText(QtText::ToQt(text)); }
std::string LinkLabel::Caption() const { return QtText::FromQt(text()); }
void LinkLabel::Press() { Fire(onClick); }

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Press();
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

// The picture drawn at build time at this side (empty if it was not).
QByteArray BuiltPicture(const std::string& key, int side);

QPixmap ProgramPicture(const std::string& key, int size) {
    if (const QByteArray png = BuiltPicture(key, size); !png.isEmpty()) {
        QPixmap pm;
        if (pm.loadFromData(png, "PNG")) return pm;
    }
    QString file = PictureFile(key);
    if (size <= 0 || !QFile::exists(file)) return {};
    QSvgRenderer svg(file);
    if (!svg.isValid()) return {};
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p);
    return pm;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int side : {16, 24, 32, 48}) icon.addPixmap(ProgramPicture("Program", side));
    return icon;
}

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
