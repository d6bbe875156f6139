#include "platform/qtapp.h"

#include "platform/core.h"

bool TQtApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    SafeCall([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
