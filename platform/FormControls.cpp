#include "FormControls.h"

#include <QLineEdit>

#include "QtText.h"

// --- CommandButton ----------------------------------------------------------------

CommandButton::CommandButton(QWidget* parent) : QPushButton(parent) {
    connect(this, &QPushButton::clicked, this, [this] { Fire(onClick); });
}

void CommandButton::SetCaption(const std::string& text) { setText(QtText::ToQt(text)); }

void CommandButton::Press() {
    // A disabled button cannot be pressed, from code no more than by the user.
    if (isEnabled()) click();
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
    // The exclusion is our own: Qt's would not let the last button go off.
    setAutoExclusive(false);
    connect(this, &QRadioButton::toggled, this, &OptionButton::Toggled);
}

void OptionButton::SetCaption(const std::string& text) { setText(QtText::ToQt(text)); }

void OptionButton::SetValue(bool on) { setChecked(on); }

void OptionButton::nextCheckState() {
    if (!isChecked()) setChecked(true);
}

void OptionButton::Toggled(bool on) {
    if (!on) return;
    if (QWidget* p = parentWidget())
        for (OptionButton* other : p->findChildren<OptionButton*>(Qt::FindDirectChildrenOnly))
            if (other != this) other->setChecked(false);
    Fire(onClick);
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

// --- ComboBox -----------------------------------------------------------------------

ComboBox::ComboBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, [this] { Fire(onClick); });
    connect(this, &QComboBox::editTextChanged, this, [this] {
        if (!quiet_) Fire(onChange);
    });
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

// --- ListBox ------------------------------------------------------------------------

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
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
