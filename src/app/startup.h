#pragma once

// Creates every window once, in the order their creation handlers need.
void CreateAllWindows();
// Destroys them again (newest first) and clears their pointers.
void DestroyAllWindows();

// The program's entry: splash, the windows in their order, the message loop.
int WinMain();
