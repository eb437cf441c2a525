#pragma once
#include <string>

#include "core/BaseViewController.h"

// A plain page under the screens a test pushes.
class RootPage : public BaseViewController {
public:
    std::string className() const override { return "RootPage"; }
};
