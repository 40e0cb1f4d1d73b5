#pragma once

class QString;

// Message box with an exclamation icon and an OK button. Showing it never holds up the caller: the
// box waits for the user while the program goes on. Tests record the calls instead.
class MessageBox
{
public:
    virtual ~MessageBox() = default;
    virtual void showExclamation(const QString& title, const QString& text) = 0;
    // True from showExclamation() until the user has closed that box.
    virtual bool isShowing() const = 0;
};
