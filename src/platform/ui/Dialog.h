#pragma once
#include <string>
#include <vector>

namespace ui {

// A view that asks the person something and waits for one of its buttons: the system alert
// and action sheet, or a dialog a screen draws with its own views. Whoever describes the
// screen (the testing driver, the simulator) reads what it asks through this, whatever draws it.
class Dialog {
public:
    virtual ~Dialog() = default;
    // "alert" or "sheet".
    virtual std::string dialogKind() const = 0;
    virtual std::string dialogTitle() const = 0;
    virtual std::string dialogMessage() const = 0;
    // The button titles in the order they show.
    virtual std::vector<std::string> dialogButtons() const = 0;
};

}  // namespace ui
