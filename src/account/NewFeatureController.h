#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/BaseViewController.h"
#include "platform/ui/ScrollView.h"

// The first-launch pager: the three guide pages "AccidentTreatmentView", "SettlementView" and
// "QuikeHandleView", side by side in a paging scroll view, each as large as the screen, page n
// at x = n screen widths. The pages are views of other libraries, made by the factories they
// register here; a page without a factory is left out (reported) and its place stays empty.
class NewFeatureController : public BaseViewController {
public:
    using PageFactory = std::function<std::shared_ptr<ui::View>()>;

    // The page classes in their order.
    static const std::vector<std::string>& pageClassNames();
    // Registers (or, with an empty factory, removes) the factory of a page class.
    static void registerPage(const std::string& className, PageFactory factory);
    static void resetPages();

    std::string className() const override { return "NewFeatureController"; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    friend class NewFeatureTestAPI;
    std::shared_ptr<ui::ScrollView> scrollView_;
    // The page shown at each position (null where none was made).
    std::vector<std::shared_ptr<ui::View>> pages_;
};
