#include "platform/HostServices.h"

#include "platform/RuntimeError.h"

namespace {
HostServices* g_host = nullptr;
}

HostServices& Host() {
    if (g_host == nullptr)
        throw ObjectMissingError("no host services installed");
    return *g_host;
}

void SetHost(HostServices* host) {
    g_host = host;
}

bool HasHost() {
    return g_host != nullptr;
}
