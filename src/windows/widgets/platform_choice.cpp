#include "windows/widgets/platform_choice.h"

namespace morvast {

PlatformChoice choosePlatform(const char* qpaPlatform, const char* waylandDisplay,
                              const char* display) {
    // An empty variable counts as unset, as Qt takes it.
    const auto set = [](const char* v) { return v && *v; };
    if (set(qpaPlatform) || !set(waylandDisplay)) return {};
    if (set(display)) return {QByteArrayLiteral("xcb"), false};
    return {QByteArray(), true};
}

}  // namespace morvast
