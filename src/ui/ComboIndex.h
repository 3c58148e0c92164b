#pragma once
// Index of an editable combo box as the window's rules read and set it.
// Neither function runs any handler: the rules listen to `activated` only.
class QComboBox;

// The entry whose text equals the edit text (case-insensitive), else -1.
// Typing "9600" therefore selects that entry; text that matches nothing is -1.
int SelectedIndex(const QComboBox *box);

// Selects entry `index`; an index out of range shows no selection and an
// empty edit text.
void SelectIndex(QComboBox *box, int index);
