// The test window of the drawing kit: one of every kind of object the charts
// draw (square, line, rectangle, labels in each alignment, a label wider than
// its box, two rows of lettered squares joined by lines), drawn again
// whenever the window changes size. It has no menu item: it opens by name.
#pragma once

#include <QPointer>
#include <vector>

#include "FormBase.h"
#include "Graph.h"

class Canvas;

class DebugGraph : public FormBase {
    Q_OBJECT
public:
    DebugGraph();

    Canvas* Picture() const { return picture_; }
    const Graph& GetGraph() const { return graph_; }
    // Clears the canvas and draws the demonstration.
    void DrawDemo();
    // The lettered squares of the two rows, as last drawn.
    const std::vector<GraphObj>& UpperRow() const { return upper_; }
    const std::vector<GraphObj>& LowerRow() const { return lower_; }

protected:
    void BuildControls() override;
    void Form_Load() override;
    void Form_Resize() override;

private:
    QPointer<Canvas> picture_;
    Graph graph_;
    bool sized_ = false;
    std::vector<GraphObj> upper_, lower_;
};

// Puts the kit's test window into the window manager's name table.
namespace WidgetWindows {
void Register();
}  // namespace WidgetWindows
