#pragma once
#include <memory>
#include <string>

#include "platform/ui/NavigationController.h"

// A navigation controller for taking evidence pictures: when its view loads it titles its own
// navigation item "拍照存证", gives its bar the application's look (background image "title",
// white bold 17 title) and puts "返回" (the image in its own colours) as its own left item,
// whose action does nothing: the controller is left by its screens' own controls.
class ImagePickerNavgationController : public ui::NavigationController {
public:
    static constexpr const char* kTitle = "拍照存证";

    ImagePickerNavgationController() = default;
    explicit ImagePickerNavgationController(std::shared_ptr<ui::ViewController> root);
    std::string className() const override { return "ImagePickerNavgationController"; }

    void viewDidLoad() override;
    void backBtnClick() {}
};
