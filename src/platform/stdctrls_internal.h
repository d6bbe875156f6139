// Helpers shared by the text controls' sources.
#pragma once

#include "platform/core.h"

#include <QString>
#include <QVariant>
#include <QWidget>

class QKeyEvent;

#include <initializer_list>

namespace stdctrls {

// A user action's handler: an exception is shown, never thrown into Qt.
inline void FireUser(const TNotifyEvent& ev, TObject* sender)
{
    if (ev)
        SafeCall([&] { ev(sender); });
}

// Counts a nesting level for as long as it lives.
struct Depth {
    explicit Depth(int& n) : n_(n) { ++n_; }
    ~Depth() { --n_; }
    Depth(const Depth&) = delete;
    Depth& operator=(const Depth&) = delete;
    int& n_;
};

// Select all, copy, paste, cut, undo and redo: editing keys a key-press
// handler that filters characters must not swallow.
bool IsEditingShortcut(const QKeyEvent* e);

}  // namespace stdctrls
