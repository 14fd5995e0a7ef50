#include "PrintDialogs.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace LowLevel {

namespace {
PrintDialogs* installed = nullptr;
}

bool QtPrintDialogs::Choose(QPrinter& printer) {
    QPrintDialog dialog(&printer, owner_);
    // The whole document is printed: no page ranges or selection to offer.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    return dialog.exec() == QDialog::Accepted;
}

bool QtPrintDialogs::HasDefaultPrinter() { return !QPrinterInfo::defaultPrinter().isNull(); }

PrintDialogs& PrintDialog() {
    static QtPrintDialogs qt;
    return installed ? *installed : qt;
}

void SetPrintDialogs(PrintDialogs* dialogs) { installed = dialogs; }

}  // namespace LowLevel
