#pragma once
// Constructors shared by the program's windows: every control carries its
// name as objectName, captions are plain text, lists are editable combo
// boxes that never add what is typed.
#include <QComboBox>
#include <QLabel>
#include <QStringList>

inline QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

inline QComboBox *MakeEditableList(QWidget *parent, const char *name, const QStringList &items)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    return box;
}

// Ties a caption label to its field: keyboard mnemonic and the name that
// assistive tools read for the field.
inline void Caption(QLabel *label, QWidget *field)
{
    label->setBuddy(field);
    // Screen readers name an edit field after its buddy, but a list or a
    // combo box (which they name after its current text) only from here.
    field->setAccessibleName(label->text());
}
