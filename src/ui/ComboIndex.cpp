#include "ComboIndex.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

int SelectedIndex(const QComboBox *box)
{
    if (box == nullptr)
        return -1;
    const QString text = box->currentText();
    for (int i = 0; i < box->count(); ++i) {
        if (box->itemText(i).compare(text, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void SelectIndex(QComboBox *box, int index)
{
    if (box == nullptr)
        return;
    if (index >= 0 && index < box->count()) {
        box->setCurrentIndex(index);
        // An index that is already current leaves typed text in place; show the entry.
        if (box->isEditable() && box->currentText() != box->itemText(index))
            box->setEditText(box->itemText(index));
        return;
    }
    box->setCurrentIndex(-1);
    if (box->isEditable())
        box->setEditText(QString());
}
