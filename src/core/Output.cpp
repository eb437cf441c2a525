#include "core/Output.h"

#include <string>

#include "core/BaseViewController.h"
#include "hud/ProgressHUD.h"
#include "platform/foundation/Log.h"

namespace output_detail {

void reportUnwired(ui::ViewController& screen, const char* name) {
    if (auto* base = dynamic_cast<BaseViewController*>(&screen)) base->endLoading();
    ProgressHUD::hideHUD();
    foundation::logError(screen.className() + ": nothing is wired to " + name + "; nothing happens");
}

}  // namespace output_detail
