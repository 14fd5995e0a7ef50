#include "Welcome.h"

#include <QColor>
#include <QLabel>
#include <QMdiArea>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QTimer>
#include <cstdlib>

#include "Cp1252.h"
#include "FileOp.h"
#include "GenMsg.h"
#include "Options.h"
#include "QtText.h"
#include "ShellKit.h"
#include "Services.h"
#include "TextConstants.h"
#include "WinMan.h"

namespace {

QColor ToQColor(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// The welcome picture: the colours of the entry kinds as a row of name tags.
QPixmap Banner(int width, int height) {
    QPixmap pm(width, height);
    pm.fill(QColor(0xFD, 0xF6, 0xE3));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const int kinds[] = {0, 1, 4, 3, 6, 5};
    using TextConstants::LangText;
    const std::string samples[] = {"Anna", "Theo", LangText("Griechisch", "Greek"), "sophia",
                                   LangText("Musik", "Music"), LangText("C\xe4" "cilia", "Cecilia")};
    int w = (width - 10) / 6;
    for (int i = 0; i < 6; ++i) {
        QColor c = ToQColor(Options::OptColor[kinds[i]]);
        QRectF box(5 + i * w + 3, 6, w - 6, height - 12);
        p.setPen(c.darker(130));
        QColor fill = c;
        fill.setAlpha(40);
        p.setBrush(fill);
        p.drawRoundedRect(box, 6, 6);
        p.setPen(c);
        p.drawText(box, Qt::AlignCenter, QtText::ToQt(samples[i]));
    }
    return pm;
}

}  // namespace

Welcome::Welcome() : FormBase("Welcome", Kind::MdiChild, kCloseGuard) { SetSizable(false); }

Welcome::~Welcome() = default;

void Welcome::BuildControls() {
    FitClient(*this, 480, 196);
    SetCaption("Willkommen");
    QWidget* c = Client();
    auto* title = Add<QLabel>("Image1");
    title->setGeometry(16, 12, 448, 28);
    title->setText(QtText::ToQt(TextConstants::EditionText("Orsabrine", "Talvessin")));
    QFont f = title->font();
    f.setPointSize(16);
    f.setBold(true);
    title->setFont(f);
    auto* banner = Add<QLabel>("Image2");
    banner->setGeometry(16, 44, 448, 40);
    banner->setPixmap(Banner(448, 40));
    notice_ = Add<QLabel>("Notice");
    notice_->setGeometry(16, 90, 448, 34);
    notice_->setWordWrap(true);
    notice_->setText(QtText::ToQt("Ein Nachschlagewerk der Vornamen: Herkunft, Bedeutung, Varianten und Gedenktage."_cp));
    label_ = Add<QLabel>("ProgressLabel");
    label_->setGeometry(16, 126, 448, 36);
    label_->setWordWrap(true);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    label_->setText(QStringLiteral("Bitte warten, Datenbank wird geladen"));
    bar_ = Add<QProgressBar>("LoadProgress");
    bar_->setGeometry(16, 166, 448, 18);
    bar_->setRange(0, 1);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    timer_ = new QTimer(c);
    timer_->setObjectName(QStringLiteral("Timer"));
    connect(timer_, &QTimer::timeout, this, [this] { Run([this] { Timer_Timer(); }); });
    (void)c;
}

void Welcome::Form_Load() {
    QMdiArea* area = FormBase::MdiArea();
    if (area) {
        double fw = area->viewport()->width() * 15.0, fh = area->viewport()->height() * 15.0;
        double left = Left(), top = Top();
        if (fw > Width()) left = (fw - Width()) / 2;
        if (fh > Height()) top = (fh - Height()) / 5;
        Move(top, left);
    }
    if (TextConstants::textLanguage == 1) {
        SetCaption("Welcome");
        label_->setText(QStringLiteral("Please wait, loading database"));
        notice_->setText(QStringLiteral("A reference work of given names: origins, meanings, variants and saints' days."));
    }
}

void Welcome::Start(double max) {
    if (bar_) {
        bar_->setRange(0, static_cast<int>(std::min(max, 2147483647.0)));
        bar_->setValue(0);
    }
    countdown_.Start();
    if (timer_) {
        timer_->setInterval(Startup::Countdown::kIntervalMs);
        timer_->start();
    }
}

void Welcome::Progress(double value) {
    if (bar_) bar_->setValue(static_cast<int>(std::min<double>(value, bar_->maximum())));
    Services::Events().DoEvents();
}

void Welcome::Failed(const DataBase::DbStatus& status) {
    if (timer_) timer_->stop();
    ShowDatabaseFailure(status);
}

void Welcome::Timer_Timer() {
    if (!bar_ || !label_) return;
    if (auto remaining = countdown_.Tick(bar_->maximum(), bar_->value()))
        label_->setText(QtText::ToQt(Startup::CountdownText(*remaining)));
}

void ShowDatabaseFailure(const DataBase::DbStatus& st) {
    if (WinMan::appClosing || st.ok) return;
    std::string path = FileOp::FromNative(st.path);
    if (st.openFailed && st.error == FileOp::kErrFileNotFound) {
        GenMsg::ShowMsg(GenMsg::GMfileNotFound, GenMsg::kCritical,
                        path + " (" + TextConstants::LangText("Datenbank", "Database") + ")");
    } else if (st.error >= DataBase::kStructError || st.error == 0) {
        GenMsg::ShowMsg(GenMsg::GMstructError, GenMsg::kCritical, path);
    } else {
        bool retry = false;
        GenMsg::ShowDiskError(path, false, retry, st.error);
    }
}
