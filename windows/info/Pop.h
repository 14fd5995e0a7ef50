// "Pop", the hit parades: for a typed or linked name every hit parade in which
// it is ranked, one hit parade with all its ranked names, that hit parade's
// description and source, and a bar chart either of one series over the
// years or of all the name's hit parades of one year. Hit parades can also be
// chosen freely, series first, without a name.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ChildForm.h"
#include "Graph.h"
#include "PopChart.h"
#include "PopIndex.h"
#include "ToolTip.h"  // before ResultViews.h, which keeps a guarded ToolTip pointer
#include "ResultViews.h"
#include "WindowContracts.h"

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QScrollArea;

class Pop : public ChildForm, public PopWindow {
    Q_OBJECT
public:
    Pop();
    ~Pop() override;

    // --- the window's contract ------------------------------------------------------
    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;
    using PopWindow::ShowAtom;
    // A hit parade (with the name it was reached from, if any), a series
    // (shown only with a name) or a name.
    void ShowAtom(atom* a, atom* name) override;
    void ShowSeriesAtom(atom* series, atom* name);
    // The series chart of the series of the name's entry for that hit parade.
    void ShowGraphForPop(atom* pop);
    void ShowPopAtom(atom* pop, atom* name);
    void ShowNameAtom(atom* name);
    // The lookup of the typed name (the Show button; tutorial command 3).
    void ShowName_Click();

    // --- the other handlers, public for tests and tutorials ------------------------------
    void PopList_Click();
    void Names_Click();
    void NameInfo_Click();
    void AsList_Click();
    void ShowSeries_Click();
    void ShowYear_Click();
    void CurPopSeries_Click();
    void CurPop_Click();
    void GraphYear_Click();

    // --- read by tests ------------------------------------------------------------------
    enum GraphMode { kNoGraph = 31999, kSeriesGraph = 0, kYearGraph = 1 };
    int graphMode() const { return graphMode_; }
    int graphSeries() const { return graphSeries_; }
    int graphYear() const { return graphYear_; }
    const PopChart::Layout& lastChart() const { return lastChart_; }
    const std::shared_ptr<ResultSet>& popList() const { return popList_; }
    const std::shared_ptr<ResultSet>& names() const { return names_; }
    const std::shared_ptr<ResultSet>& years() const { return years_; }
    int featuredRows() const { return featured_; }
    int numEntries() const { return numEntries_; }
    const std::vector<atom*>& seriesChoice() const { return seriesAtoms_; }
    const std::vector<atom*>& popChoice() const { return popAtoms_; }
    std::string PopDescription() const;
    Canvas* canvas() const { return popGraph_; }
    const Graph& graph() const { return graph_; }
    QScrollArea* graphView() const { return popGraphView_; }

protected:
    void BuildControls() override;
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(bool& cancel) override;
    void OnNotify(int code, const std::string& text) override;

private:
    void SetEnglishTexts();
    void Unbind();
    void ClearNamePart();
    void ClearGraph();
    void ClearPopPart();
    void ClearFreeChoice();
    void FillSeriesChoice();
    void DrawSeriesChart(int seriesIndex);
    void DrawYearChart(int year);
    void Paint(const PopChart::Layout& layout);
    PopChart::Area ChartArea() const;
    // A chart laid out on the canvas, the canvas made as tall as its rows
    // (scrolling when they need more room than it shows); a new chart
    // starts at its top row.
    PopChart::Layout FitCanvas(const std::function<PopChart::Layout(const PopChart::Area&)>& layOut, bool newChart);
    // A selection combo whose change is refused while input is blocked: its
    // text when it got the focus comes back.
    void GuardCombo(ComboBox* box, std::string& saved, void (Pop::*action)());
    void SetFrameTitle(QGroupBox* frame, const std::string& text);

    TextBox* curName_ = nullptr;
    CommandButton* showName_ = nullptr;
    CommandButton* nameInfo_ = nullptr;
    CommandButton* asList_ = nullptr;
    CommandButton* showEx_ = nullptr;
    CommandButton* showHelp_ = nullptr;
    QGroupBox* popListFrame_ = nullptr;
    ListView* popListView_ = nullptr;
    QGroupBox* namesFrame_ = nullptr;
    ListView* namesView_ = nullptr;
    QGroupBox* curPopDescrFrame_ = nullptr;
    QPlainTextEdit* curPopDescr_ = nullptr;
    QGroupBox* freeChoiceFrame_ = nullptr;
    QLabel* seriesLabel_ = nullptr;
    ComboBox* curPopSeries_ = nullptr;
    QLabel* hitparadeLabel_ = nullptr;
    ComboBox* curPop_ = nullptr;
    QGroupBox* graphFrame_ = nullptr;
    OptionButton* showSeries_ = nullptr;
    OptionButton* showYear_ = nullptr;
    ComboBox* graphYearBox_ = nullptr;
    QGroupBox* popGraphFrame_ = nullptr;
    QScrollArea* popGraphView_ = nullptr;
    Canvas* popGraph_ = nullptr;

    std::unique_ptr<ListViewDisplay> popListDisplay_, namesDisplay_;
    std::unique_ptr<ComboBoxDisplay> yearsDisplay_;
    std::shared_ptr<ResultSet> popList_, names_, years_;
    Graph graph_;
    GraphFont chartFont_;

    // The hit-parade index of the name shown.
    std::vector<Searches::PopEntry> entries_;
    std::vector<Searches::PopSeriesInfo> series_;
    int numEntries_ = 0, numSeries_ = 0;
    int featured_ = 0;  // bold rows before the entry rows of the name's table

    std::vector<atom*> seriesAtoms_;  // behind the items of the series choice
    std::vector<atom*> popAtoms_;     // behind the items of the hit-parade choice
    std::string savedCurName_, savedSeries_, savedPop_, savedYear_;

    bool namesBusy_ = false;       // a click on a name is being handled
    bool keepSelection_ = false;   // showing a name keeps the hit parade on view
    int graphMode_ = kNoGraph;
    int graphSeries_ = 31999;
    int graphYear_ = 31999;
    PopChart::Layout lastChart_;
    bool sized_ = false;
};
