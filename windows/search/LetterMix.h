// The Letter Combinations window ("LetterMix"): every name of the database
// that can be spelled with the letters of up to three texts (typically the
// parents' names), optionally reusing letters and keeping their order. The
// hits stand in a table with the digits of the texts their letters come
// from; a picture draws the texts and the chosen name as rows of letter
// boxes, each letter of the name joined to the letter it was taken from.
#pragma once

#include <QPointer>
#include <array>
#include <memory>
#include <string>

#include "ChildForm.h"
#include "Graph.h"
#include "LetterCombine.h"
#include "WindowContracts.h"

class Canvas;
class ListView;
class ListViewDisplay;
class QGroupBox;
class QLabel;
class ResultSet;

class LetterMix : public ChildForm, public ChildWindow {
    Q_OBJECT
public:
    LetterMix();
    ~LetterMix() override;
    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;

    // Handlers, public for the tutorial and the tests.
    void Search_Click();
    void Names_ItemClick();
    void NameInfo_Click();
    void AsList_Click();
    // Draws the picture of name with the texts and options the table was
    // made with.
    void DrawMixGraph(const std::string& name);

    const std::shared_ptr<ResultSet>& names() const { return names_; }
    // The picture last drawn (for the tests): empty rows when cleared.
    const LetterCombine::Layout& layout() const { return layout_; }

protected:
    void BuildControls() override;
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(bool& cancel) override;
    void OnNotify(int code, const std::string& text) override;

private:
    void SetEnglishTexts();
    void ClearGraph();
    void Paint();

    std::shared_ptr<ResultSet> names_;
    std::unique_ptr<ListViewDisplay> display_;
    Graph graph_;
    bool graphReady_ = false;
    // What the table was made with; the picture of a line uses them.
    LetterCombine::Texts madeTexts_;
    bool madeMulti_ = false, madeOrder_ = false;
    std::string drawnName_;
    LetterCombine::Layout layout_;

    QPointer<QGroupBox> lettersFrame_, optionsFrame_, namesFrame_, mixGraphFrame_;
    std::array<QPointer<TextBox>, 3> letters_;
    std::array<QPointer<QLabel>, 3> labels_;
    QPointer<CheckBox> useMulti_, useOrder_;
    QPointer<CommandButton> search_, nameInfo_, asList_, showHelp_;
    QPointer<ListView> namesView_;
    QPointer<Canvas> mixGraph_;
};
