#include "platform/ui/Responder.h"

#include "platform/ui/Application.h"
#include "platform/ui/TextInput.h"

namespace ui {

Responder* currentFirstResponder() {
    return Application::shared().firstResponder();
}

void Responder::touchesBegan(const Touches& touches) {
    if (auto* n = nextResponder()) n->touchesBegan(touches);
}

void Responder::touchesMoved(const Touches& touches) {
    if (auto* n = nextResponder()) n->touchesMoved(touches);
}

void Responder::touchesEnded(const Touches& touches) {
    if (auto* n = nextResponder()) n->touchesEnded(touches);
}

void Responder::touchesCancelled(const Touches& touches) {
    if (auto* n = nextResponder()) n->touchesCancelled(touches);
}

bool Responder::isFirstResponder() const {
    return currentFirstResponder() == this;
}

bool Responder::becomeFirstResponder() {
    if (isFirstResponder()) return true;
    if (!canBecomeFirstResponder()) return false;
    auto& app = Application::shared();
    Responder* previous = app.firstResponder();
    if (previous) {
        if (!previous->resignFirstResponderForSwitch()) return false;
    }
    app.setFirstResponder(this);
    didBecomeFirstResponder();
    if (app.firstResponder() == this && showsKeyboard()) Keyboard::show();
    else if (!showsKeyboard() && Keyboard::isVisible()) Keyboard::hide();
    return app.firstResponder() == this;
}

bool Responder::resignFirstResponderForSwitch() {
    // Ends the previous responder's editing without hiding the keyboard: the next input keeps it.
    if (!canResignFirstResponder()) return false;
    switching_ = true;
    bool ok = resignFirstResponder();
    switching_ = false;
    return ok;
}

bool Responder::resignFirstResponder() {
    auto& app = Application::shared();
    if (app.firstResponder() != this) return true;
    if (!canResignFirstResponder()) return false;
    app.setFirstResponder(nullptr);
    didResignFirstResponder();
    if (showsKeyboard() && !switching_) Keyboard::hide();
    return true;
}

Responder::~Responder() {
    auto& app = Application::shared();
    if (app.firstResponder() == this) {
        app.setFirstResponder(nullptr);
        Keyboard::hideQuietly();
    }
}

}  // namespace ui
