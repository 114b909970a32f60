#pragma once
// Texts shown outside any window's controls (the messages core words, the
// captions of message-box buttons) ride on hidden labels of the main window,
// so a language file translates them like every other caption.
class QWidget;

namespace orbisk {

// Adds a hidden label for each such text to window, with the built-in text.
void AddHiddenTextLabels(QWidget& window);

// Copies the captions of those labels, wherever the first window holding
// them is, into core's text table and the message-box button captions.
void TakeHiddenTexts(QWidget& window);

} // namespace orbisk
