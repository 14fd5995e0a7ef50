// The real message boxes, file dialogs, busy cursor, progress bar and event
// pump that start-up installs, and the widget halves of the option and
// number-field helpers.
#pragma once

#include <QFileDevice>
#include <QProgressBar>
#include <QWidget>
#include <QPointer>
#include <memory>
#include <string>

#include "Services.h"

class GenMsgForm;
class QAbstractButton;
class QLineEdit;
class QProgressBar;
class QWidget;

// Shows every message in the one message window, created on first use.
class QtMessageBoxes : public Services::MessageBoxes {
public:
    QtMessageBoxes();
    ~QtMessageBoxes() override;
    // The frame: the window is centred on it and owned by it.
    void SetOwner(QWidget* owner);
    bool ShowMessage(const Services::Message& message) override;
    GenMsgForm& Form();

private:
    QPointer<QWidget> owner_;
    // Owned here, but a child of the owner: when the owner goes first it
    // takes the window with it, and the pointer turns null.
    QPointer<GenMsgForm> form_;
};

class QtFileDialogs : public Services::FileDialogs {
public:
    void SetOwner(QWidget* owner) { owner_ = owner; }
    std::optional<std::string> OpenFile(const Services::FileDialogRequest& request) override;
    std::optional<std::string> SaveFile(const Services::FileDialogRequest& request) override;

private:
    QPointer<QWidget> owner_;
};

// "Desc (*.onl)|*.onl|All Files (*.*)|*.*" as Qt's "Desc (*.onl);;All Files (*)".
QString QtFilter(const std::string& filter);

class QtBusyCursor : public Services::BusyCursor {
public:
    void On() override;
    void Off() override;

private:
    bool shown_ = false;
};

// The progress bar of the window that shows a long operation; none set: nothing.
class QtProgress : public Services::Progress {
public:
    void SetBar(QProgressBar* bar) { bar_ = bar; }
    void SetMaximum(int maximum) override;
    void SetValue(int value) override;

private:
    QPointer<QProgressBar> bar_;
};

class QtEventPump : public Services::EventPump {
public:
    void DoEvents() override;
    void DoEventsHoldingInput() override;
};

// The error number of a failed Qt file operation: the system's errno when it
// is known (Qt leaves it set after the failing call), else the Qt error.
int FileErrorNumber(QFileDevice::FileError error, int systemErrno);

// A check box ticked for True, cleared for False; its handler runs as for a click.
void SetCheckBox(bool value, QAbstractButton* box);

// Checks a numeric input field; on failure shows the message, then puts the
// focus back into the field with its text selected.
bool CheckNumberField(QLineEdit* box);
