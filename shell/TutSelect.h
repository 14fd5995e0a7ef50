// The tutorial selection window: the four tutorials as large numbered icons;
// Start (or a double click) runs the chosen one in the tutorial window, which
// this window keeps for the whole run.
#pragma once

#include <QPointer>
#include <memory>
#include <string>

#include "FormBase.h"
#include "FormControls.h"

class QFont;
class QListWidget;
class Tutor;

class TutSelect : public FormBase {
    Q_OBJECT
public:
    TutSelect();
    ~TutSelect() override;

    // Every code is ignored.
    void Notify(int code, const std::string& text) override {}

    struct Entry {
        const char* key;      // its icon
        const char* german;   // cp1252
        const char* english;
        const char* file;
    };
    static const std::vector<Entry>& Entries();

    void DoSelect_Click();

    QListWidget* Tutorials() const { return list_; }
    // The width of a tutorial's cell in the list: 100 pixels, or the longest
    // word of a title in the text language and that font, with a margin.
    static int CellWidth(const QFont& font);
    CommandButton* DoSelect() const { return select_; }
    // The tutorial window (made on first use).
    Tutor& TutorWindow();

protected:
    void BuildControls() override;
    void Form_Load() override;

private:
    void SetEnglishTexts();

    static constexpr int kCell = 100;
    int cell_ = kCell;
    QPointer<QListWidget> list_;
    QPointer<CommandButton> select_, help_;
    std::unique_ptr<Tutor> tutor_;
};

namespace Tutorials {
// Registers the selection window and installs the tutorial engine where the
// window manager and the examples reach it.
void Register();
}  // namespace Tutorials
