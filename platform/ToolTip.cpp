#include "ToolTip.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QPalette>
#include <QToolTip>
#include <QWidget>
#include <algorithm>

#include "Errors.h"
#include "QtText.h"

namespace {

QColor FromLong(int32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
int32_t ToLong(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

// The label Qt shows its tooltips in, when one exists.
QWidget* TipLabel() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("qtooltip_label") && w->isVisible()) return w;
    return nullptr;
}

}  // namespace

ToolTip::ToolTip(QObject* parent) : QObject(parent) {
    showTimer_.setSingleShot(true);
    connect(&showTimer_, &QTimer::timeout, this, &ToolTip::ShowNow);
}

ToolTip::~ToolTip() {
    if (shownFor_) QToolTip::hideText();
    for (Tool& t : tools_) {
        disconnect(t.destroyedConnection);
        if (t.alive) t.alive->removeEventFilter(this);
        if (t.viewport) t.viewport->removeEventFilter(this);
    }
}

void ToolTip::Init(QWidget* parent) {
    if (initialized_) return;
    owner_ = parent;
    initialized_ = true;
    Errors::Assert(hWnd() > 0, "ToolTip Init Handle");
}

quintptr ToolTip::hWnd() const { return initialized_ ? reinterpret_cast<quintptr>(this) : 0; }

const ToolTip::Tool* ToolTip::Find(const QObject* control) const {
    if (!control) return nullptr;
    for (const Tool& t : tools_)
        if (t.widget == control && t.alive) return &t;
    return nullptr;
}

const ToolTip::Tool* ToolTip::FindByViewport(const QObject* viewport) const {
    if (!viewport) return nullptr;
    for (const Tool& t : tools_)
        if (t.viewport == viewport && t.alive) return &t;
    return nullptr;
}

ToolTip::Tool* ToolTip::Find(const QObject* control) {
    return const_cast<Tool*>(static_cast<const ToolTip*>(this)->Find(control));
}

void ToolTip::AddTool(QWidget* control, const std::string& text) {
    if (!initialized_) return;
    if (!control) {
        Errors::Assert(false, "AddTool ok");
        return;
    }
    if (Find(control)) return;
    Tool t;
    t.widget = control;
    t.alive = control;
    t.text = QtText::ToQt(text);
    t.destroyedConnection =
        connect(control, &QObject::destroyed, this, [this](QObject* gone) { Forget(gone); });
    control->installEventFilter(this);
    // A list or text box takes its clicks and wheel turns in its viewport,
    // which the tool must hear of too: a click there may bring another
    // window up, which must not find the tip lying on top of it.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(control)) {
        t.viewport = area->viewport();
        if (t.viewport) t.viewport->installEventFilter(this);
    }
    tools_.push_back(std::move(t));
    initialDelay_ = 1500;
    autoPopDelay_ = 5000;
}

void ToolTip::Forget(QObject* control) {
    if (!pending_) showTimer_.stop();
    if (shownRaw_ == control) {
        QToolTip::hideText();
        shownFor_ = nullptr;
        shownRaw_ = nullptr;
    }
    tools_.erase(std::remove_if(tools_.begin(), tools_.end(),
                                [&](const Tool& t) { return t.widget == control || !t.alive; }),
                 tools_.end());
}

void ToolTip::RemoveTool(QWidget* control) {
    if (!initialized_) return;
    Tool* t = Find(control);
    if (!t) return;
    disconnect(t->destroyedConnection);
    control->removeEventFilter(this);
    if (t->viewport) t->viewport->removeEventFilter(this);
    if (shownFor_ == control) HideTip();
    if (pending_ == control) showTimer_.stop();
    tools_.erase(std::remove_if(tools_.begin(), tools_.end(), [&](const Tool& x) { return x.widget == control; }),
                 tools_.end());
}

bool ToolTip::IsTool(QWidget* control) const { return initialized_ && Find(control) != nullptr; }

int ToolTip::ToolCount() const {
    if (!initialized_) return 0;
    return static_cast<int>(std::count_if(tools_.begin(), tools_.end(), [](const Tool& t) { return !t.alive.isNull(); }));
}

std::string ToolTip::ToolText(QWidget* control) const {
    if (!initialized_) return {};
    const Tool* t = Find(control);
    return t ? QtText::FromQt(t->text) : std::string();
}

void ToolTip::SetToolText(QWidget* control, const std::string& text) {
    if (!initialized_) return;
    Tool* t = Find(control);
    if (!t) return;
    t->text = QtText::ToQt(text);
    if (shownFor_ == control) ShowNow();  // a showing tip follows its text
}

int32_t ToolTip::backColor() const {
    if (!initialized_) return 0;
    return back_ ? *back_ : ToLong(QToolTip::palette().color(QPalette::ToolTipBase));
}

void ToolTip::setBackColor(int32_t colour) {
    if (initialized_) back_ = colour & 0xFFFFFF;
}

int32_t ToolTip::foreColor() const {
    if (!initialized_) return 0;
    return fore_ ? *fore_ : ToLong(QToolTip::palette().color(QPalette::ToolTipText));
}

void ToolTip::setForeColor(int32_t colour) {
    if (initialized_) fore_ = colour & 0xFFFFFF;
}

int ToolTip::DelayTime(int which) const {
    if (!initialized_) return 0;
    switch (((which % 4) + 4) % 4) {
        case kReshow: return reshowDelay_;
        case kAutoPop: return autoPopDelay_;
        default: return initialDelay_;  // initial, and automatic reads as the initial
    }
}

void ToolTip::SetDelayTime(int which, int ms) {
    if (!initialized_) return;
    ms = std::max(0, ms);
    switch (((which % 4) + 4) % 4) {
        case kAutomatic:
            initialDelay_ = ms;
            autoPopDelay_ = ms * 10;
            reshowDelay_ = ms / 5;
            break;
        case kReshow: reshowDelay_ = ms; break;
        case kAutoPop: autoPopDelay_ = ms; break;
        case kInitial: initialDelay_ = ms; break;
    }
}

int ToolTip::Margin(int side) const {
    if (!initialized_ || side < 0 || side > 3) return 0;
    return margins_[static_cast<std::size_t>(side)];
}

void ToolTip::SetMargin(int side, int pixels) {
    if (!initialized_ || side < 0 || side > 3) return;
    margins_[static_cast<std::size_t>(side)] = std::max(0, pixels);
}

void ToolTip::SetMaxTipWidth(int pixels) {
    if (initialized_) maxTipWidth_ = pixels < 1 ? -1 : pixels;
}

QString ToolTip::TipText(QWidget* control) const {
    const Tool* t = Find(control);
    if (!t) return {};
    // Always rich text: a tip text that happens to look like mark-up is still
    // shown as it is, and margins and width have a place to go.
    QString body = t->text.toHtmlEscaped();
    body.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    QString style = QStringLiteral("margin-left:%1px; margin-top:%2px; margin-right:%3px; margin-bottom:%4px;")
                        .arg(margins_[0]).arg(margins_[1]).arg(margins_[2]).arg(margins_[3]);
    if (maxTipWidth_ < 1)
        return QStringLiteral("<p style=\"white-space:pre; %1\">%2</p>").arg(style, body);
    return QStringLiteral("<table width=\"%1\" cellspacing=\"0\" cellpadding=\"0\"><tr><td style=\"%2\">%3</td></tr></table>")
        .arg(maxTipWidth_)
        .arg(style, body);
}

bool ToolTip::Popup(QWidget* control) {
    if (!initialized_ || !Find(control) || !control->isVisible()) return false;
    showTimer_.stop();
    pending_ = control;
    ShowNow();
    return shownFor_ == control;
}

void ToolTip::StartDelay(QWidget* control) {
    pending_ = control;
    // Moving from one tip straight to the next control shows its tip sooner.
    bool reshow = shownFor_ || (sinceHidden_.isValid() && sinceHidden_.elapsed() < reshowDelay_ * 5);
    showTimer_.start(reshow ? reshowDelay_ : initialDelay_);
}

void ToolTip::HideTip() {
    if (shownFor_) {
        QToolTip::hideText();
        sinceHidden_.start();
    }
    shownFor_ = nullptr;
    shownRaw_ = nullptr;
}

void ToolTip::ShowNow() {
    QWidget* control = pending_;
    const Tool* t = Find(control);
    if (!t || t->text.isEmpty() || !control->isVisible()) return;
    QPalette palette = QToolTip::palette();
    if (back_) palette.setColor(QPalette::ToolTipBase, FromLong(*back_));
    if (fore_) palette.setColor(QPalette::ToolTipText, FromLong(*fore_));
    QToolTip::setPalette(palette);

    QPoint pos = QCursor::pos();
    if (!control->rect().contains(control->mapFromGlobal(pos)))
        pos = control->mapToGlobal(QPoint(control->width() / 4, control->height() - 12));
    QToolTip::showText(pos, TipText(control), control, QRect(), autoPopDelay_);
    // Qt keeps one tip label; it takes the palette only when it is made.
    if (QWidget* label = TipLabel()) {
        label->setPalette(palette);
        label->update();
    }
    shownFor_ = control;
    shownRaw_ = control;
}

void ToolTip::Dismiss(QWidget* control) {
    if (pending_ == control) showTimer_.stop();
    if (shownFor_ == control) HideTip();
}

bool ToolTip::eventFilter(QObject* watched, QEvent* event) {
    if (!initialized_) return QObject::eventFilter(watched, event);
    if (!Find(watched)) {
        if (const Tool* t = FindByViewport(watched)) {
            switch (event->type()) {
                case QEvent::MouseButtonPress:
                case QEvent::MouseButtonDblClick:
                case QEvent::Wheel: Dismiss(t->alive); break;
                default: break;
            }
        }
        return QObject::eventFilter(watched, event);
    }
    auto* control = static_cast<QWidget*>(watched);
    switch (event->type()) {
        case QEvent::ToolTip:
            return true;  // our own timing decides when the tip shows
        case QEvent::Enter:
            StartDelay(control);
            break;
        case QEvent::Leave:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::Hide: Dismiss(control); break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}
