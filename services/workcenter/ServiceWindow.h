#pragma once
// The services' windows live for one call: OpenWindow makes one without an
// owner (OnCreate runs) and the pointer frees it (OnDestroy runs) on every path.
#include <memory>
#include <utility>

#include "platform/vcl/Form.h"

struct TFreeForm {
    void operator()(TCustomForm* form) const { form->Free(); }
};

template <typename T, typename... Args>
std::unique_ptr<T, TFreeForm> OpenWindow(Args&&... args) {
    return std::unique_ptr<T, TFreeForm>(NewForm<T>(nullptr, std::forward<Args>(args)...));
}
