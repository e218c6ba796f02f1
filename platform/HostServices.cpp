#include "platform/HostServices.h"

#include "platform/RuntimeError.h"
#include "platform/posix_env.h"

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

bool HostServices::FolderWritable(const std::string& folder) {
    return posix_env::FolderWritable(folder);
}

std::string HostServices::UserConfigFolder() {
    return posix_env::UserConfigFolder();
}

bool HostServices::CopyIfMissing(const std::string& from, const std::string& to) {
    return posix_env::CopyIfMissing(from, to);
}
