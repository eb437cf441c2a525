#pragma once
#include <memory>

#include "platform/ui/Touch.h"

namespace ui {

// The base of views and screens: the responder chain for touches and the first responder
// (the text input that has the keyboard).
class Responder {
public:
    Responder() = default;
    virtual ~Responder();

    // The next responder: a screen's root view answers its screen, another view its superview,
    // a screen the superview of its view.
    virtual Responder* nextResponder() const { return nullptr; }

    // Raw touches. The default passes them on to the next responder.
    virtual void touchesBegan(const Touches& touches);
    virtual void touchesMoved(const Touches& touches);
    virtual void touchesEnded(const Touches& touches);
    virtual void touchesCancelled(const Touches& touches);

    virtual bool canBecomeFirstResponder() const { return false; }
    virtual bool canResignFirstResponder() const { return true; }
    // Makes this the application's first responder (a text input then posts the keyboard
    // notifications). Returns false when it cannot.
    virtual bool becomeFirstResponder();
    virtual bool resignFirstResponder();
    bool isFirstResponder() const;

    // Notified by the first-responder bookkeeping; text inputs start and end editing here.
    virtual void didBecomeFirstResponder() {}
    virtual void didResignFirstResponder() {}
    // Whether becoming first responder shows the keyboard (text inputs).
    virtual bool showsKeyboard() const { return false; }

private:
    bool resignFirstResponderForSwitch();
    bool switching_ = false;
};

// The current first responder, or nullptr.
Responder* currentFirstResponder();

}  // namespace ui
