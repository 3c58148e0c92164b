#pragma once
// Enables or disables a group of controls; controls the edition lacks are null.
#include <QWidget>

#include <initializer_list>

inline void SetEnabled(std::initializer_list<QWidget *> widgets, bool enabled)
{
    for (QWidget *w : widgets)
        if (w)
            w->setEnabled(enabled);
}
