// The print dialog as the windows ask for it: Qt's print dialog, which offers
// the installed printers and printing to a PDF file. Tests install a fake
// that answers from a script, so no test ever waits on the real dialog.
#pragma once

#include <QPointer>
#include <QWidget>

class QPrinter;

namespace LowLevel {

class PrintDialogs {
public:
    virtual ~PrintDialogs() = default;
    // Shows the dialog for printer; True when the user confirmed, and the
    // printer is then set up as chosen (a device or a PDF file).
    virtual bool Choose(QPrinter& printer) = 0;
    // Whether the system has a default printer to print on without asking.
    virtual bool HasDefaultPrinter() = 0;
};

// Qt's own dialog, centred on the owner.
class QtPrintDialogs : public PrintDialogs {
public:
    void SetOwner(QWidget* owner) { owner_ = owner; }
    bool Choose(QPrinter& printer) override;
    bool HasDefaultPrinter() override;

private:
    QPointer<QWidget> owner_;
};

// The dialogs in use: the one installed, else Qt's.
PrintDialogs& PrintDialog();
// Installs dialogs (not owned); null goes back to Qt's.
void SetPrintDialogs(PrintDialogs* dialogs);

}  // namespace LowLevel
