#include "QtServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>

#include "FileOp.h"
#include "GenMsg.h"
#include "GenMsgForm.h"
#include "LowLevel.h"
#include "Options.h"
#include "QtText.h"

// --- Messages -----------------------------------------------------------------

QtMessageBoxes::QtMessageBoxes() = default;
QtMessageBoxes::~QtMessageBoxes() { delete form_.data(); }

void QtMessageBoxes::SetOwner(QWidget* owner) {
    owner_ = owner;
    if (form_) form_->setParent(owner, form_->windowFlags());
}

GenMsgForm& QtMessageBoxes::Form() {
    if (!form_) form_ = new GenMsgForm(owner_);
    return *form_;
}

bool QtMessageBoxes::ShowMessage(const Services::Message& message) {
    bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);  // the user must see where to click
    bool yes = Form().ShowModal(message);
    if (busy) QApplication::restoreOverrideCursor();
    return message.question && yes;
}

// --- File dialogs ---------------------------------------------------------------

QString QtFilter(const std::string& filter) {
    QStringList parts = QtText::ToQt(filter).split('|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        // "*.*" means every file, with or without a dot.
        patterns.replace("*.*", "*");
        desc.replace("(*.*)", "(*)");
        out << (desc.contains('(') ? desc : desc + " (" + patterns + ")");
    }
    return out.join(";;");
}

namespace {

std::optional<std::string> RunDialog(QWidget* owner, const Services::FileDialogRequest& r, bool save) {
    // Without a folder of its own Qt would start in the working folder, the
    // program's folder, where an installed program's user may not write.
    QString folder = QtText::ToQt(r.initialDir);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QtText::ToQt(LowLevel::DocumentsFolderOrEmpty());
    QFileDialog dialog(owner, QtText::ToQt(r.title), folder, QtFilter(r.filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QtText::ToQt(r.defaultExt));
    if (save) dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    bool ok = true;
    std::string path = QtText::FromQt(dialog.selectedFiles().first(), '?', &ok);
    // A path the program's texts cannot hold could never be opened again.
    if (!ok) return std::nullopt;
    return path;
}

}  // namespace

std::optional<std::string> QtFileDialogs::OpenFile(const Services::FileDialogRequest& request) {
    return RunDialog(owner_, request, false);
}

std::optional<std::string> QtFileDialogs::SaveFile(const Services::FileDialogRequest& request) {
    return RunDialog(owner_, request, true);
}

// --- Busy cursor, progress, events ------------------------------------------------

// A plain switch: the nesting of long operations is counted once, by
// Services::HourglassOn/Off, which call On for each operation but Off only
// for the outermost. A second count here would keep the hourglass after
// nested operations had all ended.
void QtBusyCursor::On() {
    if (shown_) return;
    shown_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtBusyCursor::Off() {
    if (!shown_) return;
    shown_ = false;
    QApplication::restoreOverrideCursor();
}

void QtProgress::SetMaximum(int maximum) {
    if (bar_) bar_->setMaximum(maximum);
}

void QtProgress::SetValue(int value) {
    if (bar_) bar_->setValue(value);
}

void QtEventPump::DoEvents() { QApplication::processEvents(); }

void QtEventPump::DoEventsHoldingInput() { QApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

// --- Helpers ------------------------------------------------------------------------

int FileErrorNumber(QFileDevice::FileError error, int systemErrno) {
    if (error == QFileDevice::NoError) return 0;
    if (systemErrno != 0) return FileOp::ErrorFromErrno(systemErrno);
    switch (error) {
    case QFileDevice::ResourceError: return FileOp::kErrDiskFull;
    case QFileDevice::PermissionsError: return FileOp::kErrPermissionDenied;
    case QFileDevice::OpenError: return FileOp::kErrPathAccess;
    case QFileDevice::ReadError:
    case QFileDevice::WriteError:
    case QFileDevice::FatalError: return FileOp::kErrDeviceIO;
    default: return FileOp::kErrInternal;
    }
}

void SetCheckBox(bool value, QAbstractButton* box) {
    if (box) box->setChecked(Options::CheckBoxValue(value) == 1);
}

bool CheckNumberField(QLineEdit* box) {
    if (!box) return false;
    if (GenMsg::CheckNumberField(QtText::FromQt(box->text()))) return true;
    box->setFocus();
    box->selectAll();
    return false;
}
