#include "apps/simulator/ScreenWatch.h"

#include <ostream>

#include "platform/testing/Driver.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/Window.h"

namespace simulator {

namespace {

std::string inQuotes(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\n') out += "\\n";
        else if (c == '"') out += "\\\"";
        else out += c;
    }
    return out + "\"";
}

bool holdsSpinner(const ui::View& view) {
    if (dynamic_cast<const ui::ActivityIndicatorView*>(&view)) return true;
    for (auto& sub : view.subviews()) {
        if (holdsSpinner(*sub)) return true;
    }
    return false;
}

std::string buttons(const std::vector<std::string>& titles) {
    std::string out;
    for (auto& t : titles) out += " " + inQuotes(t);
    return out.empty() ? "" : " buttons:" + out;
}

// Still showing: on a window, not hidden and not faded out (a HUD fades before it leaves).
bool stillShown(const std::shared_ptr<ui::View>& view) {
    return view && view->window() && !view->isHidden() && view->alpha() > 0.01;
}

}  // namespace

ScreenWatch::~ScreenWatch() { stop(); }

void ScreenWatch::start(const driver::Driver& driver) {
    driver_ = &driver;
    watching_ = true;
    pending_.clear();
    shown_.clear();
    auto top = driver.topScreen();
    top_ = top;
    hadTop_ = top != nullptr;
    urlsSeen_ = ui::Application::shared().openedURLs().size();
    ui::Window::setArrivalObserver([this](ui::Window&, const std::shared_ptr<ui::View>& view) { arrived(view); });
}

void ScreenWatch::stop() {
    if (!watching_) return;
    watching_ = false;
    ui::Window::setArrivalObserver(nullptr);
}

void ScreenWatch::arrived(const std::shared_ptr<ui::View>& view) {
    if (!view) return;
    for (auto& s : shown_) {
        if (s.view.lock() == view) return;  // moved within its window
    }
    if (view->className() == "ProgressHUD") {
        std::string text = view->describeContent();
        if (holdsSpinner(*view)) {
            pending_.push_back(text.empty() ? "[spinner]" : "[spinner: " + inQuotes(text) + "]");
            shown_.push_back({view, "[gone: spinner]"});
        } else {
            pending_.push_back("[message: " + inQuotes(text) + "]");
            shown_.push_back({view, ""});
        }
    } else if (dynamic_cast<const ui::Dialog*>(view.get())) {
        announceDialog(view);
    }
}

void ScreenWatch::announceDialog(const std::shared_ptr<ui::View>& view) {
    const auto* dialog = dynamic_cast<const ui::Dialog*>(view.get());
    if (!dialog) return;
    for (auto& s : shown_) {
        if (s.view.lock() == view) return;  // told already
    }
    std::string line = "[" + dialog->dialogKind() + ": " + inQuotes(dialog->dialogTitle());
    if (!dialog->dialogMessage().empty()) line += " " + inQuotes(dialog->dialogMessage());
    pending_.push_back(line + buttons(dialog->dialogButtons()) + "]");
    shown_.push_back({view, "[gone: " + dialog->dialogKind() + " " + inQuotes(dialog->dialogTitle()) + "]"});
}

std::string ScreenWatch::screenLine(const std::shared_ptr<ui::ViewController>& screen) {
    if (!screen) return "[screen: none]";
    std::string line = "[screen: " + screen->className();
    std::string title = screen->title();
    if (title.empty()) {
        auto item = screen->navigationItem();
        if (item) {
            title = item->title();
            if (title.empty()) {
                if (auto label = std::dynamic_pointer_cast<ui::Label>(item->titleView())) title = label->text();
            }
        }
    }
    if (!title.empty()) line += " " + inQuotes(title);
    return line + "]";
}

std::string ScreenWatch::urlLine(const std::string& url) {
    for (const char* scheme : {"telprompt://", "telprompt:", "tel://", "tel:"}) {
        std::string s = scheme;
        if (url.rfind(s, 0) == 0) return "[call: " + url.substr(s.size()) + "]";
    }
    return "[opened: " + url + "]";
}

void ScreenWatch::report(std::ostream& out) {
    if (!watching_ || !driver_) return;
    // Dialogs drawn inside a screen (not on a window of their own) are found by looking.
    auto dialogs = driver_->dialogs();
    for (auto it = dialogs.rbegin(); it != dialogs.rend(); ++it) announceDialog(*it);
    std::vector<std::string> lines;
    auto top = driver_->topScreen();
    if (top != top_.lock() || (!top && hadTop_)) {
        std::string name = top ? top->className() : "";
        if (name == "HomeViewController" || name == "LoginViewController") practice_ = false;
        if (top || hadTop_) {
            std::string line = screenLine(top);
            if (practice_ && top) line.insert(line.size() - 1, " (practice: nothing is sent)");
            lines.push_back(line);
        }
        top_ = top;
        hadTop_ = top != nullptr;
    }
    for (auto& line : pending_) lines.push_back(line);
    pending_.clear();
    for (auto it = shown_.begin(); it != shown_.end();) {
        auto view = it->view.lock();
        if (stillShown(view)) {
            ++it;
            continue;
        }
        if (!it->gone.empty()) lines.push_back(it->gone);
        it = shown_.erase(it);
    }
    const auto& urls = ui::Application::shared().openedURLs();
    if (urls.size() < urlsSeen_) urlsSeen_ = 0;
    for (size_t i = urlsSeen_; i < urls.size(); ++i) lines.push_back(urlLine(urls[i]));
    urlsSeen_ = urls.size();
    if (news_) {
        for (auto& line : news_()) lines.push_back(line);
    }
    for (auto& line : lines) out << "  " << line << "\n";
}

}  // namespace simulator
