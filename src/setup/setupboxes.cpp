#include "setup/setupboxes.h"

namespace pkivo {

void saveSetupBox(SettingsRecord& sysparams, const SetupBox& box, const std::string& typed) {
    sysparams.setField(box.field, fixedWidth(box.fill, typed, size_t(box.field.width)));
}

} // namespace pkivo
