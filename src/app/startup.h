#pragma once

// The program's entry: splash, the windows in their order, the message loop.
int WinMain();
