// Key codes as the program's handlers expect them: the Windows virtual-key
// numbers (Enter 13, Up 38, Down 40…), translated from Qt's key codes.
#pragma once

#include "platform/core.h"

#include <Qt>

class QKeyEvent;

constexpr WORD VK_BACK = 8;
constexpr WORD VK_TAB = 9;
constexpr WORD VK_RETURN = 13;
constexpr WORD VK_SHIFT = 16;
constexpr WORD VK_CONTROL = 17;
constexpr WORD VK_MENU = 18;
constexpr WORD VK_ESCAPE = 27;
constexpr WORD VK_SPACE = 32;
constexpr WORD VK_PRIOR = 33;
constexpr WORD VK_NEXT = 34;
constexpr WORD VK_END = 35;
constexpr WORD VK_HOME = 36;
constexpr WORD VK_LEFT = 37;
constexpr WORD VK_UP = 38;
constexpr WORD VK_RIGHT = 39;
constexpr WORD VK_DOWN = 40;
constexpr WORD VK_INSERT = 45;
constexpr WORD VK_DELETE = 46;
constexpr WORD VK_F1 = 112;

// 0 for keys that have no virtual-key number here.
WORD VirtualKeyFromQt(int qtKey);
TShiftState ShiftFromQt(Qt::KeyboardModifiers modifiers);

// The character a key types as the class library's key-press event sees it
// (Backspace 8, Tab 9, Enter 13, Escape 27); 0 for keys that type nothing.
char16_t TypedChar(const QKeyEvent* e);
// A key event that types ch instead of e's character (a key-press handler
// replaced the key).
QKeyEvent KeyEventForChar(const QKeyEvent* e, char16_t ch);

// Runs a user's key-down handler (an exception is shown, not thrown). True when
// the key is used up: the handler failed or set the key to 0.
bool FireUserKeyDown(const TKeyEvent& handler, TObject* sender, const QKeyEvent* e);
