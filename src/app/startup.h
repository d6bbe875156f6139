#pragma once

// Creates every window once, in the order their creation handlers need.
void CreateAllWindows();

// The program's entry: splash, the windows in their order, the message loop.
int WinMain();
