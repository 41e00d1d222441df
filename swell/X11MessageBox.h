#pragma once
// A modal message box of our own on its own X connection, so it works whatever
// the editor's event loop is doing. Runs on the editor's user-interface thread
// and blocks it until the box is answered.

// type 0: one default button ("OK"); 1: "OK" and "Cancel"; 3: "Yes", "No",
// "Cancel"; 4: "Yes", "No". Returns 1 for the first (default) button, 7 for the
// second, 2 for the third. Escape and closing the window answer as the box's
// "Cancel" or "No" button would (7 for types 1 and 4, 2 for type 3), and 0 for
// type 0. 0 also when there is no display.
int RunX11MessageBox(const char* text, const char* caption, int type, unsigned long ownerWindow, double scale);
