#include "src/host/DLLBaseCtrller.h"

TDLLBaseController::~TDLLBaseController() = default;

void TDLLBaseController::DoFormCreated() { Notify(NOTIFY_FORM_CREATED); }
void TDLLBaseController::DoFormShow(TObject*) { Notify(NOTIFY_FORM_SHOW); }
void TDLLBaseController::DoFormHide(TObject*) { Notify(NOTIFY_FORM_HIDE); }
void TDLLBaseController::DoFormDestroy(TObject*) { Notify(NOTIFY_FORM_DESTROY); }
void TDLLBaseController::DoFormClose(TObject*, TCloseAction&) { Notify(NOTIFY_FORM_CLOSE); }

void TDLLBaseController::Notify(int32_t code) {
    if (OnNotify.Assigned()) OnNotify.Code(OnNotify.Context, code, this);
}

void TDLLBaseController::Reserved() {}
