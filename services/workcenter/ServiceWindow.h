#pragma once
// The services' windows live for one call: OpenWindow makes one without an
// owner (OnCreate runs) and the pointer frees it (OnDestroy runs) on every path.
#include <memory>
#include <utility>

#include "platform/vcl/Form.h"

template <typename T, typename... Args>
TFormPtr<T> OpenWindow(Args&&... args) {
    return TFormPtr<T>(NewForm<T>(nullptr, std::forward<Args>(args)...));
}
