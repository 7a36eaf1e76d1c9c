#pragma once
// The installer's message boxes, built as forms of the framework (window class
// "TMessageForm", so that a driver can tell them from the system's boxes).
#include <functional>

#include "base/Text.h"

enum class TMsgDlgType { Warning, Error, Information, Confirmation, Custom };

// Buttons, in the order they appear left to right.
enum TMsgDlgBtn : unsigned {
  mbYes = 1u << 0,
  mbNo = 1u << 1,
  mbOK = 1u << 2,
  mbCancel = 1u << 3,
  mbAbort = 1u << 4,
  mbRetry = 1u << 5,
  mbIgnore = 1u << 6,
  mbAll = 1u << 7,
  mbNoToAll = 1u << 8,
  mbYesToAll = 1u << 9,
  mbHelp = 1u << 10,
};
using TMsgDlgButtons = unsigned;  // a set of TMsgDlgBtn

// A modal box of a kind with a set of buttons; returns the modal result of the button
// pressed (2 for the title-bar close box).
int MessageDialog(const Text& text, TMsgDlgType kind, TMsgDlgButtons buttons, int helpContext);

// The plain box: the application title as caption, no icon, one OK button.
void ShowNotice(const Text& text);

// What the Help button of a message box does with its help context. The box stays
// open either way; without a handler the button does nothing.
extern std::function<void(int helpContext)> MessageHelpHandler;
