#include "FormControls.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>

#include "QtText.h"
#include "WindowKeys.h"

// --- CommandButton ----------------------------------------------------------------

CommandButton::CommandButton(QWidget* parent) : QPushButton(parent) {
    connect(this, &QPushButton::clicked, this, [this] { Fire(onClick); });
}

void CommandButton::SetCaption(const std::string& text) { setText(QtText::ToQt(text)); }

void CommandButton::Press() {
    // A disabled button cannot be pressed, from code no more than by the user.
    if (isEnabled()) click();
}

void CommandButton::keyPressEvent(QKeyEvent* event) {
    if (!IsEnterKey(*event)) {
        QPushButton::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!event->isAutoRepeat()) Press();
}

// --- CheckBox ---------------------------------------------------------------------

CheckBox::CheckBox(QWidget* parent) : QCheckBox(parent) {
    connect(this, &QCheckBox::toggled, this, [this] {
        if (!quiet_) Fire(onClick);
    });
}

int CheckBox::Value() const {
    switch (checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

void CheckBox::nextCheckState() {
    // A partly ticked box becomes ticked; the user never makes one partly ticked.
    if (Value() == 2) {
        SetValue(1);
        return;
    }
    setTristate(false);
    setChecked(!isChecked());
}

void CheckBox::SetCaption(const std::string& text) { setText(QtText::ToQt(text)); }

void CheckBox::SetValue(int value) {
    if (value != 2) {
        // Qt counts a partly ticked box as checked: from there to ticked
        // no toggle comes by itself.
        const bool fromPartly = Value() == 2;
        setTristate(false);
        setChecked(value != 0);
        if (fromPartly && value != 0) Fire(onClick);
        return;
    }
    if (checkState() == Qt::PartiallyChecked) return;
    // Leaving the ticked state must not report a change of its own first.
    quiet_ = true;
    setTristate(true);
    setCheckState(Qt::PartiallyChecked);
    quiet_ = false;
    Fire(onClick);
}

// --- OptionButton -----------------------------------------------------------------

OptionButton::OptionButton(QWidget* parent) : QRadioButton(parent) {
    // The exclusion and the keys of the group are our own: Qt's would not
    // let the last button go off.
    setAutoExclusive(false);
    WindowKeys::KeepTabPlace(this);
    connect(this, &QRadioButton::toggled, this, &OptionButton::Toggled);
    UpdateTabStop(parent);
}

void OptionButton::SetCaption(const std::string& text) { setText(QtText::ToQt(text)); }

void OptionButton::SetValue(bool on) { setChecked(on); }

void OptionButton::nextCheckState() {
    if (!isChecked()) setChecked(true);
}

void OptionButton::Toggled(bool on) {
    QWidget* p = parentWidget();
    if (on && p)
        for (OptionButton* other : p->findChildren<OptionButton*>(Qt::FindDirectChildrenOnly))
            if (other != this) other->setChecked(false);
    UpdateTabStop(p);
    if (on) Fire(onClick);
}

std::vector<OptionButton*> OptionButton::Usable(QWidget* parent) {
    std::vector<OptionButton*> group;
    if (!parent) return group;
    for (OptionButton* b : parent->findChildren<OptionButton*>(Qt::FindDirectChildrenOnly))
        if (b->isEnabledTo(parent) && b->isVisibleTo(parent)) group.push_back(b);
    std::stable_sort(group.begin(), group.end(), [](const OptionButton* a, const OptionButton* b) {
        return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
    });
    return group;
}

void OptionButton::UpdateTabStop(QWidget* parent) {
    if (!parent) return;
    const std::vector<OptionButton*> usable = Usable(parent);
    OptionButton* stop = usable.empty() ? nullptr : usable.front();
    for (OptionButton* b : usable)
        if (b->isChecked()) stop = b;
    for (OptionButton* b : parent->findChildren<OptionButton*>(Qt::FindDirectChildrenOnly)) {
        const Qt::FocusPolicy policy = b == stop ? Qt::StrongFocus : Qt::ClickFocus;
        if (b->focusPolicy() != policy) b->setFocusPolicy(policy);
    }
}

bool OptionButton::event(QEvent* event) {
    const bool result = QRadioButton::event(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
    case QEvent::ParentChange:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
    case QEvent::Move:  // the reading order
        UpdateTabStop(parentWidget());
        break;
    default: break;
    }
    return result;
}

void OptionButton::keyPressEvent(QKeyEvent* event) {
    const int step = WindowKeys::ArrowStep(*event);
    if (step == 0) {
        QRadioButton::keyPressEvent(event);
        return;
    }
    event->accept();
    const std::vector<OptionButton*> group = Usable(parentWidget());
    const auto at = std::find(group.begin(), group.end(), this);
    if (at == group.end() || group.size() < 2) return;
    const auto n = static_cast<std::ptrdiff_t>(group.size());
    OptionButton* to = group[static_cast<std::size_t>(((at - group.begin()) + step + n) % n)];
    to->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    // As a click on it: checked, and its handler runs once.
    if (!to->isChecked()) to->setChecked(true);
}

void EnableTogether(std::initializer_list<std::pair<QWidget*, bool>> controls) {
    for (const auto& [control, on] : controls)
        if (on) control->setEnabled(true);
    for (const auto& [control, on] : controls)
        if (!on) control->setEnabled(false);
}

// --- TextBox ------------------------------------------------------------------------

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {
    // Every text of the program is cp1252: a typed letter cp1252 lacks becomes
    // its base letter here ("Łukasz" is typed as "Lukasz") rather than a "?"
    // when it is read; what has no base letter is left out with a sign.
    setValidator(new QtText::Cp1252Validator(this));
    connect(this, &QLineEdit::textChanged, this, [this] { Fire(onChange); });
}

std::string TextBox::Text() const { return QtText::FromQt(text()); }

void TextBox::SetText(const std::string& t) { setText(QtText::ToQt(t)); }

void TextBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    Fire(onGotFocus);
}

void TextBox::Paste(QClipboard::Mode mode) {
    if (!isReadOnly()) insert(QtText::PastedLine(QGuiApplication::clipboard()->text(mode)));
}

QMenu* TextBox::ContextMenu() {
    QMenu* menu = createStandardContextMenu();
    // Known by its caption, in the language Qt's own texts are shown in.
    const QString pasteCaption = QCoreApplication::translate("QLineEdit", "&Paste");
    for (QAction* item : menu->actions()) {
        if (item->text().section(u'\t', 0, 0) != pasteCaption) continue;
        item->disconnect(this);
        connect(item, &QAction::triggered, this, [this] { Paste(QClipboard::Clipboard); });
    }
    return menu;
}

void TextBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = ContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TextBox::mouseReleaseEvent(QMouseEvent* event) {
    // The middle button pastes the text selected anywhere, where there is
    // such a selection (X11).
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection() && !isReadOnly()) {
        event->accept();
        deselect();
        Paste(QClipboard::Selection);
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TextBox::dropEvent(QDropEvent* event) {
    const QString text = event->mimeData() ? event->mimeData()->text() : QString();
    const QString line = QtText::PastedLine(text);
    if (line == text) {
        QLineEdit::dropEvent(event);
        return;
    }
    QMimeData fitted;
    fitted.setText(line);
    QDropEvent drop(event->position(), event->possibleActions(), &fitted, event->buttons(), event->modifiers());
    drop.setDropAction(event->dropAction());
    QLineEdit::dropEvent(&drop);
    event->setDropAction(drop.dropAction());
    event->setAccepted(drop.isAccepted());
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        event->accept();
        Paste(QClipboard::Clipboard);
        return;
    }
    if (!onEnter || !IsEnterKey(*event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!event->isAutoRepeat()) Fire(onEnter);
}

// --- ComboBox -----------------------------------------------------------------------

ComboBox::ComboBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, [this] { Fire(onClick); });
    connect(this, &QComboBox::editTextChanged, this, [this] {
        if (!quiet_) Fire(onChange);
    });
    // Typing in the open list is seen before the list's own search.
    view()->installEventFilter(this);
}

void ComboBox::AddItem(const std::string& text) {
    // Qt selects the first entry of an empty list by itself; that is no choice.
    quiet_ = true;
    addItem(QtText::ToQt(text));
    quiet_ = false;
}

void ComboBox::Clear() {
    quiet_ = true;
    clear();
    quiet_ = false;
}

std::string ComboBox::List(int index) const {
    return index >= 0 && index < count() ? QtText::FromQt(itemText(index)) : std::string();
}

void ComboBox::SetListIndex(int index) {
    if (index < -1 || index >= count()) index = -1;
    quiet_ = true;
    setCurrentIndex(index);
    quiet_ = false;
    Fire(onClick);
}

std::string ComboBox::Text() const { return QtText::FromQt(currentText()); }

void ComboBox::SetText(const std::string& text) {
    QString t = QtText::ToQt(text);
    if (isEditable()) {
        if (lineEdit()->text() != t) setEditText(t);  // raises onChange
        return;
    }
    int index = findText(t, Qt::MatchExactly);
    if (index >= 0) SetListIndex(index);
}

void ComboBox::showPopup() {
    Fire(onDropDown);
    QComboBox::showPopup();
}

void ComboBox::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    Fire(onGotFocus);
}

void ComboBox::keyPressEvent(QKeyEvent* event) {
    const QString typed = isEditable() ? QString() : TypedChoice::Typed(*event, typing_.InProgress());
    if (typed.isEmpty()) {
        QComboBox::keyPressEvent(event);
        return;
    }
    event->accept();
    const int index = typing_.Type(typed, *model(), modelColumn(), currentIndex());
    if (index < 0 || index == currentIndex()) return;
    // Chosen as by a click, as the box's own search does.
    setCurrentIndex(index);
    emit activated(index);
    emit textActivated(itemText(index));
}

bool ComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view() && event->type() == QEvent::KeyPress && !isEditable()) {
        const QString typed = TypedChoice::Typed(*static_cast<QKeyEvent*>(event), typing_.InProgress());
        if (!typed.isEmpty()) {
            // Only marked in the list: Enter or a click chooses it.
            const int row = typing_.Type(typed, *model(), modelColumn(), view()->currentIndex().row());
            if (row >= 0) view()->setCurrentIndex(model()->index(row, modelColumn(), rootModelIndex()));
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

// --- ListBox ------------------------------------------------------------------------

int FullHeightDelegate::ExtraHeight(const QFont& font) {
    const QFontMetricsF fm(font);
    // Accented capitals and the letters that reach lowest, as the font draws them.
    const QRectF ink = fm.tightBoundingRect(QStringLiteral("\u00C1\u00C4\u00D6\u00DC\u00C5\u00C9gjpqy\u00E7"));
    const double above = std::max(0.0, -ink.top() - fm.ascent());
    const double below = std::max(0.0, ink.bottom() - fm.descent());
    return 2 * static_cast<int>(std::ceil(std::max(above, below)));
}

QSize FullHeightDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    // The cell's own font (a bold cell has one), as the text is drawn in it.
    QFont font = option.font;
    if (cellFonts_) {
        const QVariant cellFont = index.data(Qt::FontRole);
        if (cellFont.canConvert<QFont>()) font = qvariant_cast<QFont>(cellFont).resolve(font);
    }
    if (lastExtra_ < 0 || font != lastFont_) {
        lastFont_ = font;
        lastExtra_ = ExtraHeight(font);
    }
    size.setHeight(size.height() + lastExtra_);
    return size;
}

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new FullHeightDelegate(this, false));  // its items are plain texts
    connect(this, &QListWidget::currentRowChanged, this, [this] {
        if (!quiet_) Fire(onClick);
    });
}

void ListBox::AddItem(const std::string& text) {
    quiet_ = true;
    addItem(QtText::ToQt(text));
    quiet_ = false;
}

void ListBox::Clear() {
    quiet_ = true;
    clear();
    quiet_ = false;
}

std::string ListBox::List(int index) const {
    const QListWidgetItem* it = item(index);
    return it ? QtText::FromQt(it->text()) : std::string();
}

void ListBox::SetListIndex(int index) {
    if (index < -1 || index >= count()) index = -1;
    setCurrentRow(index);  // raises onClick when the line changes
}
