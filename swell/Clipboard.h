#pragma once
// Reading the desktop clipboard on a connection of our own. User-interface thread.
#include <string>

// Plain text (UTF-8) of the CLIPBOARD selection; false and empty text when there
// is none or the owner does not answer within timeoutMs.
bool ReadClipboardText(std::string& text, int timeoutMs = 1000);
