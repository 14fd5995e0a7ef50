#include "QtLowLevel.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QListView>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

#include "Cp1252.h"
#include "QtText.h"
#include "RtfReader.h"

namespace LowLevel {

QString ProgramFolder() { return QCoreApplication::applicationDirPath(); }

// --- Character widths ----------------------------------------------------------

QFont ArialFont(bool bold) {
    QFont f;
    // Arial where it exists, else its metric twin: the widths are the same.
    f.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(9);
    f.setBold(bold);
    return f;
}

namespace {

void Measure(const QFont& font, QPaintDevice* device, CharWidthTable& table) {
    QFontMetrics fm(font, device);
    for (int code = 0; code < 256; ++code) {
        char32_t cp = Cp1252::ToUnicode(static_cast<unsigned char>(code));
        // Control characters take no room in a laid-out line.
        table[static_cast<std::size_t>(code)] =
            (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) ? 0 : fm.horizontalAdvance(QChar(static_cast<char16_t>(cp)));
    }
}

}  // namespace

void MeasureCharWidths(QWidget* form) {
    QFont formFont = form ? form->font() : QApplication::font();
    Measure(formFont, form, charWidthForm);
    Measure(ArialFont(false), form, charWidthArial);
    Measure(ArialFont(true), form, charWidthArialBold);
}

void MeasureCharWidthsOnFirstUse(QWidget* form) {
    SetCharWidthMeasurer([form = QPointer<QWidget>(form)] { MeasureCharWidths(form.data()); });
}

// --- Fonts of the first window ------------------------------------------------

void PrepareWindowFonts() {
    // The letters, digits and signs most names and descriptions are made of.
    const std::string common =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,;:-'()/"
        "\xC4\xD6\xDC\xE4\xF6\xFC\xE9\xE8\xE0";
    // A description's fonts as its text gives them: Arial 9 points plain and
    // bold, 12 points (a name's title) and the spacer lines' 2 points; read
    // as a description is.
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl {\\f0\\fswiss\\fprq2\\fcharset0 Arial;}}\\f0";
    for (const char* style : {"\\fs18 ", "\\fs18\\b ", "\\fs24 ", "\\fs24\\b "}) rtf += std::string(style) + common + "\\b0\\par ";
    rtf += "\\fs4 #\\par }";
    QTextDocument doc;
    RtfReader::Read(rtf, doc);
    const QString text = QtText::ToQt(common);
    QImage image(QFontMetrics(ArialFont(true)).horizontalAdvance(text) * 2, 64, QImage::Format_RGB32);
    QPainter painter(&image);
    doc.drawContents(&painter);
    // The windows' own font: their lists, boxes and buttons.
    painter.setFont(QApplication::font());
    painter.drawText(0, 50, text);
}

// --- Caret line ----------------------------------------------------------------

void GetCaretLine(QTextEdit* box, std::string& line, int& column) {
    line.clear();
    column = 0;
    if (!box) return;
    QTextCursor cursor = box->textCursor();
    QTextBlock block = cursor.block();
    if (!block.isValid()) return;
    int inBlock = cursor.position() - block.position();
    QString text = block.text();
    int start = 0, length = static_cast<int>(text.size());
    if (QTextLayout* layout = block.layout(); layout && layout->lineCount() > 0) {
        QTextLine l = layout->lineForTextPosition(inBlock);
        if (!l.isValid()) l = layout->lineAt(layout->lineCount() - 1);
        start = l.textStart();
        length = l.textLength();
    }
    QString lineText = text.mid(start, length);
    // Object replacement and line separator characters are no letters.
    lineText.replace(QChar::LineSeparator, QLatin1Char(' '));
    line = QtText::FromQt(lineText);
    column = inBlock - start;
}

// --- Combo boxes, list views -----------------------------------------------------

void SetComboDropHeight(QComboBox* combo) {
    if (!combo) return;
    combo->setMaxVisibleItems(ComboVisibleItems(combo->count()));
}

void SetIconSpacing(QListView* view, int cx, int cy) {
    if (!view) return;
    view->setGridSize(QSize(cx, cy));
}

// --- Help by window and control -------------------------------------------------

void ShowFormHelp(QWidget* form, QWidget* control) {
    QString topic = form ? form->objectName() : QString();
    if (control) topic += control->objectName();
    ShowHelpTopic(QtText::FromQt(topic));
}

// --- Mark frame -------------------------------------------------------------------

namespace {

constexpr int kMarkDistance = 2;  // pixels between control and frame
constexpr int kMarkPen = 2;

}  // namespace

MarkShape::MarkShape(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void MarkShape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QPen pen(QColor(255, 0, 0));
    pen.setWidth(kMarkPen);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(kMarkPen / 2.0, kMarkPen / 2.0, -kMarkPen / 2.0, -kMarkPen / 2.0));
}

void PlaceMarkShape(QWidget* shape, QWidget* control) {
    if (!shape || !control || shape == control) return;
    QWidget* host = shape->parentWidget();
    if (!host) return;
    const QPoint origin = host->isAncestorOf(control) ? control->mapTo(host, QPoint(0, 0))
                                                      : host->mapFromGlobal(control->mapToGlobal(QPoint(0, 0)));
    if (!qobject_cast<MarkShape*>(shape)) {
        shape->setAttribute(Qt::WA_TransparentForMouseEvents);
        shape->setStyleSheet(QStringLiteral("border: %1px solid rgb(255, 0, 0); background: transparent;")
                                 .arg(kMarkPen));
    }
    const int d = kMarkDistance + kMarkPen;
    shape->setGeometry(QRect(origin, control->size()).adjusted(-d, -d, d, d));
    shape->raise();
    shape->show();
    QCoreApplication::processEvents();
}

void HideMarkShape(QWidget* shape) {
    if (shape) {
        shape->hide();
        shape->setGeometry(0, 0, 1, 1);
    }
    QCoreApplication::processEvents();
}

// --- Shell -------------------------------------------------------------------

QtShell::QtShell(Opener opener) : opener_(std::move(opener)) {
    if (!opener_) opener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

bool QtShell::Open(const std::string& target) {
    // Checked here as well: whatever reaches the service, nothing but a web
    // or mail address is handed to the desktop.
    if (ClassifyShellTarget(target) == ShellTarget::Refused) return false;
    const QUrl url(QtText::ToQt(target), QUrl::StrictMode);
    if (!url.isValid()) return false;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    bool ok = opener_(url);
    QGuiApplication::restoreOverrideCursor();
    return ok;
}

}  // namespace LowLevel
