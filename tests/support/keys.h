// Keys as the keyboard sends them to a widget.
#pragma once

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

// A press and its release.
inline void TypeKey(QWidget* w, int key, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QCoreApplication::sendEvent(w, &release);
}

// Each character as a key of no key code, as an input method sends it.
inline void TypeChars(QWidget* w, const QString& text)
{
    for (QChar c : text)
        TypeKey(w, Qt::Key_unknown, QString(c));
}
