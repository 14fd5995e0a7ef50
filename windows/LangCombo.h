// The language chooser of the windows that ask for a language: "(undefined)"
// when wanted, the main languages of origin or of use, a separator line, then
// every language, each item carrying its language's index in the language
// table. The separator may be made unselectable, so that it cannot stand for
// a language it does not name.
#pragma once

class atom;
class ComboBox;

namespace LangCombo {

// Replaces the box's items (raising nothing). With separatorSelectable
// False the separator can be neither clicked nor reached with the keys.
void Fill(ComboBox* box, bool mainOrig, bool withUndefined, bool separatorSelectable);
// The language index carried by an item; -1 for "(undefined)", the separator
// and an index outside the list.
int ItemData(const ComboBox* box, int index);
// The language of the selected item; null for none.
atom* SelectedLang(const ComboBox* box);

}  // namespace LangCombo
