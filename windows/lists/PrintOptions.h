// "PrintOptions": prints the descriptions of all names and groups of the list
// manager's current list. Reached only by its window name. It keeps the
// printer chosen in the print dialog until another is chosen or the window
// unloads; without a chosen one it prints on the system's default printer,
// or asks with the print dialog when there is none.
#pragma once

#include <QPointer>
#include <array>
#include <memory>
#include <string>

#include "ChildForm.h"
#include "Services.h"
#include "WindowContracts.h"

class QGroupBox;
class QPrinter;

class PrintOptions : public ChildForm, public ChildWindow {
    Q_OBJECT
public:
    PrintOptions();
    ~PrintOptions() override;
    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;

    // The handlers (public for tutorials and tests). The buttons run without
    // the input guard.
    void ShowPrintDialog_Click();
    void DoPrint_Click();
    void DoCancel_Click();

    // The printer chosen in the dialog; null when none is held.
    QPrinter* ChosenPrinter() const { return printer_.get(); }
    // The pages of the last print (0 when it printed nothing).
    int LastPages() const { return lastPages_; }

    // The margins of every printout, in millimetres.
    static constexpr double kMarginMm = 20;

protected:
    void BuildControls() override;
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    void SetEnglishTexts();
    static std::string CauseText(Services::PrintStatus status);

    std::unique_ptr<QPrinter> printer_;
    int lastPages_ = 0;
    QPointer<QGroupBox> paramFrame_, howFrame_, whatFrame_;
    QPointer<ComboBox> combo1_;
    QPointer<OptionButton> names_, namesReasons_, descr_, curList_, curName_;
    QPointer<CommandButton> showPrintDialog_, doPrint_, showHelp_, doCancel_;
};
