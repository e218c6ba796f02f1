// SPDX-License-Identifier: MIT
#include "platform/HostServices.h"

#include "platform/RuntimeError.h"
#include "platform/file_store.h"

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

HostServices* InstalledHost() {
    return g_host;
}

bool HostServices::FolderWritable(const std::string& folder) {
    return file_store::FolderWritable(folder);
}

std::string HostServices::UserConfigFolder() {
    return file_store::UserConfigFolder();
}

bool HostServices::CopyIfMissing(const std::string& from, const std::string& to) {
    return file_store::CopyIfMissing(from, to);
}

ScreenMetrics GetScreenMetrics() {
    HostServices& host = Host();
    return ScreenMetrics{host.ScreenWidthTwips(), host.ScreenHeightTwips(), host.TwipsPerPixelX(),
                         host.TwipsPerPixelY()};
}
