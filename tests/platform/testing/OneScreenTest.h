#pragma once
#include <memory>

#include "platform/testing/Driver.h"
#include "platform/ui/Application.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "support/PlatformTest.h"

// One plain white screen as the root of a key window, built anew for each test, and a driver.
class OneScreenTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ui::resetForTests();
        window = std::make_shared<ui::Window>();
        screen = std::make_shared<ui::ViewController>();
        window->setRootViewController(screen);
        window->makeKeyAndVisible();
        screen->view()->setBackgroundColor(ui::Color::white());
    }
    void TearDown() override {
        screen.reset();
        window.reset();
        ui::resetForTests();
        PlatformTest::TearDown();
    }

    driver::Driver d;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::ViewController> screen;
};
