#include "tests/services/workcenter/WorkCenterFixture.h"

#include "services/appserver/AppServer.h"

Variant WorkCenterFixture::InProcessServer(const std::string& folder) {
    TServerSettings settings;
    settings.Kind = TStorageKind::SQLite;
    settings.DataFolder = folder;
    return Variant(std::static_pointer_cast<IDispatch>(std::make_shared<TAppServer>(settings)));
}
