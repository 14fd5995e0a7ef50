#include "LangCombo.h"

#include <QStandardItemModel>

#include "DataBase.h"
#include "FormControls.h"

namespace LangCombo {

namespace {
// The role under which an item keeps its language index; items without it
// ("(undefined)", the separator) stand for no language.
constexpr int kLangRole = Qt::UserRole + 1;
}  // namespace

void Fill(ComboBox* box, bool mainOrig, bool withUndefined, bool separatorSelectable) {
    if (!box) return;
    box->Clear();
    const auto items = DataBase::FillLangCombo(mainOrig, withUndefined);
    bool afterSeparator = false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        box->AddItem(items[i].text);
        const int index = box->ListCount() - 1;
        const bool undefined = withUndefined && i == 0;
        const bool separator = !afterSeparator && items[i].text == std::string(12, '_');
        if (separator) {
            afterSeparator = true;
            if (separatorSelectable) {
                box->setItemData(index, items[i].itemData, kLangRole);
            } else if (auto* model = qobject_cast<QStandardItemModel*>(box->model())) {
                if (QStandardItem* item = model->item(index)) item->setEnabled(false);
            }
            continue;
        }
        if (!undefined) box->setItemData(index, items[i].itemData, kLangRole);
    }
}

int ItemData(const ComboBox* box, int index) {
    if (!box || index < 0 || index >= box->ListCount()) return -1;
    const QVariant v = box->itemData(index, kLangRole);
    return v.isValid() ? v.toInt() : -1;
}

atom* SelectedLang(const ComboBox* box) {
    const int data = box ? ItemData(box, box->ListIndex()) : -1;
    if (data < 0) return nullptr;
    atom* lang = DataBase::GetComboLang(data);
    return lang == DataBase::nothingAtom ? nullptr : lang;
}

}  // namespace LangCombo
