// Tooltips of a window's controls: one ToolTip object per owner (a window,
// a list, a rich-text box) with its tools, delays, colours, margins and
// maximum width. The tips are Qt tooltips; the timing is our own, so a tip
// shows after the initial delay (1.5 s) and goes after the display time (5 s).
// A tool is forgotten as soon as its widget is destroyed.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QWidget;

class ToolTip : public QObject {
    Q_OBJECT
public:
    // Which delay: taken modulo 4.
    enum Delay { kAutomatic = 0, kReshow = 1, kAutoPop = 2, kInitial = 3 };

    explicit ToolTip(QObject* parent = nullptr);
    ~ToolTip() override;

    // Makes the tooltip usable for the controls of parent. A second call
    // does nothing. Until then every other operation is ignored.
    void Init(QWidget* parent);
    bool IsInitialized() const { return initialized_; }

    // Registers control with its text (cp1252). Nothing when control is
    // already a tool (ToolText changes the text). Sets the initial delay to
    // 1500 ms and the display time to 5000 ms.
    void AddTool(QWidget* control, const std::string& text);
    void RemoveTool(QWidget* control);
    bool IsTool(QWidget* control) const;
    int ToolCount() const;

    // Tip text of a tool; "" for a control that is no tool.
    std::string ToolText(QWidget* control) const;
    // Replaces a tool's text; nothing for a control that is no tool.
    void SetToolText(QWidget* control, const std::string& text);

    // Colours as 32-bit values, red in the low byte.
    int32_t backColor() const;
    void setBackColor(int32_t colour);
    int32_t foreColor() const;
    void setForeColor(int32_t colour);

    // Delay times in ms. Setting the automatic one sets the initial delay to
    // it, the display time to ten times and the reshow delay to a fifth of it;
    // reading it gives the initial delay.
    int DelayTime(int which) const;
    void SetDelayTime(int which, int ms);

    // Margin of the tips in pixels: 0 left, 1 top, 2 right, 3 bottom; another
    // side reads 0 and changes nothing.
    int Margin(int side) const;
    void SetMargin(int side, int pixels);

    // Maximum width of a tip in pixels; below 1 means no limit (-1).
    void SetMaxTipWidth(int pixels);
    int MaxTipWidth() const { return maxTipWidth_; }

    // Non-zero once initialised (two names for the same value).
    quintptr hWnd() const;
    quintptr ToolTipHandle() const { return hWnd(); }

    // Shows a tool's tip at once, as the initial delay would; false for a
    // control that is no tool (or not visible).
    bool Popup(QWidget* control);
    // The tool whose tip is showing, or null.
    QWidget* ShownFor() const { return shownFor_; }
    // The text as the tip shows it (rich text with margins and width).
    QString TipText(QWidget* control) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Tool {
        QWidget* widget = nullptr;  // identity only; never dereferenced after destruction
        QPointer<QWidget> alive;
        // The scrolling tool's viewport: its clicks are the tool's clicks.
        QPointer<QWidget> viewport;
        QString text;
        QMetaObject::Connection destroyedConnection;
    };
    const Tool* Find(const QObject* control) const;
    Tool* Find(const QObject* control);
    const Tool* FindByViewport(const QObject* viewport) const;
    void Dismiss(QWidget* control);
    void Forget(QObject* control);
    void StartDelay(QWidget* control);
    void HideTip();
    void ShowNow();

    bool initialized_ = false;
    QPointer<QWidget> owner_;
    std::vector<Tool> tools_;
    // Initial 500, display 5000, reshow 100 until a tool is added.
    int initialDelay_ = 500, autoPopDelay_ = 5000, reshowDelay_ = 100;
    std::array<int, 4> margins_{0, 0, 0, 0};
    int maxTipWidth_ = -1;
    std::optional<int32_t> back_, fore_;
    QTimer showTimer_;
    QPointer<QWidget> pending_;
    QPointer<QWidget> shownFor_;
    QWidget* shownRaw_ = nullptr;  // identity of shownFor_, kept while it is destroyed
    QElapsedTimer sinceHidden_;
};
