#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "support/PlatformTest.h"

// A platform test with a clean user-interface layer and a key window.
class UiTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ui::resetForTests();
        window = std::make_shared<ui::Window>();
    }
    void TearDown() override {
        window.reset();
        ui::resetForTests();
        PlatformTest::TearDown();
    }
    std::shared_ptr<ui::Window> window;
};

// A screen that writes its life-cycle calls into a shared log.
class RecordingScreen : public ui::ViewController {
public:
    RecordingScreen(std::string name, std::shared_ptr<std::vector<std::string>> log) : name_(std::move(name)), log_(std::move(log)) {}
    std::string className() const override { return "RecordingScreen"; }
    void viewDidLoad() override { log_->push_back(name_ + ".load"); }
    void viewWillAppear(bool) override { log_->push_back(name_ + ".willAppear"); }
    void viewDidAppear(bool) override { log_->push_back(name_ + ".didAppear"); }
    void viewWillDisappear(bool) override { log_->push_back(name_ + ".willDisappear"); }
    void viewDidDisappear(bool) override { log_->push_back(name_ + ".didDisappear"); }
    const std::string& name() const { return name_; }
    int counter = 0;

private:
    std::string name_;
    std::shared_ptr<std::vector<std::string>> log_;
};
