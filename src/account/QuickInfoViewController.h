#pragma once
#include <memory>
#include <string>

#include "core/BaseViewController.h"
#include "platform/ui/ImageView.h"

// The image of a case's police paper: one picture loaded from its URL (the picture
// "placeholder" while it loads or when it cannot be had).
class QuickInfoViewController : public BaseViewController {
public:
    static constexpr const char* kTitle = "快处信息";

    explicit QuickInfoViewController(std::string url);
    std::string className() const override { return "QuickInfoViewController"; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    friend class QuickInfoTestAPI;
    std::string url_;
    std::shared_ptr<ui::ImageView> imageView_;
};
