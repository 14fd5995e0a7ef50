// The welcome window: shown while the database loads, with the load's
// progress bar and an estimate of the seconds still needed. On the loader's
// start it also measures how the display shows the program's colours.
#pragma once

#include <QPointer>
#include <QProgressBar>
#include <QLabel>
#include <QTimer>

#include "BinFile.h"
#include "FormBase.h"
#include "StartupModel.h"

class QLabel;
class QProgressBar;
class QTimer;
class QWidget;

class Welcome : public FormBase, public DataBase::LoadObserver {
    Q_OBJECT
public:
    Welcome();
    ~Welcome() override;

    void Notify(int code, const std::string& text) override {}

    // --- What the loader reports (DataBase::LoadObserver) ---------------------------
    // The bar's maximum is known: colours are probed and the countdown starts.
    void Start(double max) override;
    void Progress(double value) override;
    // Shows why the load failed, unless the program is closing.
    void Failed(const DataBase::DbStatus& status) override;

    // One tick of the countdown timer (every 10 seconds while it runs).
    void Timer_Timer();

    QProgressBar* LoadProgress() const { return bar_; }
    QLabel* ProgressLabel() const { return label_; }
    QTimer* Timer() const { return timer_; }
    const Startup::Countdown& countdown() const { return countdown_; }

protected:
    void BuildControls() override;
    void Form_Load() override;

private:
    QPointer<QProgressBar> bar_;
    QPointer<QLabel> label_;
    QPointer<QLabel> notice_;
    QPointer<QTimer> timer_;
    Startup::Countdown countdown_;
};

// The message of a database file that could not be read: "file not found"
// with the path, the malformed-file message, or the disk error by its number;
// nothing while the program is closing.
void ShowDatabaseFailure(const DataBase::DbStatus& status);
