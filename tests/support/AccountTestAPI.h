#pragma once
#include <memory>
#include <string>
#include <vector>

#include "account/NewFeatureController.h"
#include "account/QuickInfoViewController.h"

// What the tests read inside the first-launch pager: its scroll view and the page at each
// position (null where no page was made).
class NewFeatureTestAPI {
public:
    static std::shared_ptr<ui::ScrollView> scrollView(const NewFeatureController& pager) { return pager.scrollView_; }
    static const std::vector<std::shared_ptr<ui::View>>& pages(const NewFeatureController& pager) { return pager.pages_; }
};

// The police paper's screen: the URL it was made with and the image view that shows it.
class QuickInfoTestAPI {
public:
    static const std::string& url(const QuickInfoViewController& screen) { return screen.url_; }
    static std::shared_ptr<ui::ImageView> imageView(const QuickInfoViewController& screen) { return screen.imageView_; }
};
