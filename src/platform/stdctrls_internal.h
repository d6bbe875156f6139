// Helpers shared by the text controls' sources.
#pragma once

#include "platform/core.h"

#include <QString>
#include <QVariant>
#include <QWidget>

#include <initializer_list>

namespace stdctrls {

// A user action's handler: an exception is shown, never thrown into Qt.
inline void FireUser(const TNotifyEvent& ev, TObject* sender)
{
    if (ev)
        SafeCall([&] { ev(sender); });
}

// A boolean design value; false when the window's design does not give it.
inline bool ReadBool(const QWidget* w, const char* name, bool& out)
{
    const QVariant v = w->property(name);
    if (!v.isValid())
        return false;
    out = v.toBool();
    return true;
}

// A design enum, stored by name ("taCenter") or by number.
inline int ReadEnum(const QWidget* w, const char* name, std::initializer_list<const char*> names, int fallback)
{
    const QVariant v = w->property(name);
    if (!v.isValid())
        return fallback;
    const QString s = v.toString().trimmed();
    int i = 0;
    for (const char* n : names) {
        if (s.compare(QLatin1String(n), Qt::CaseInsensitive) == 0)
            return i;
        ++i;
    }
    bool ok = false;
    const int n = s.toInt(&ok);
    return ok ? n : fallback;
}

}  // namespace stdctrls
