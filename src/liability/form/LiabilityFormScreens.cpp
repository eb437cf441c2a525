#include "liability/form/LiabilityFormScreens.h"

#include "liability/form/ClientViewController.h"
#include "platform/ui/Storyboard.h"

void registerLiabilityFormScreens() {
    ui::Storyboard::registerFactory(ClientViewController::kClassName,
                                    [] { return std::make_shared<ClientViewController>(); });
}
