// SPDX-License-Identifier: MIT
#include "tools/harness/settings_text.h"

#include <algorithm>

std::string SettingsFileText(const std::vector<std::string>& controls,
                             const std::optional<std::string>& applic,
                             const std::string& lineBreak) {
    std::string text = "[controls]" + lineBreak;
    const std::size_t count = std::min(controls.size(), kControlKeys.size());
    for (std::size_t i = 0; i < count; ++i)
        text += kControlKeys[i] + "=" + controls[i] + lineBreak;
    if (applic)
        text += "[applic]" + lineBreak + *applic;
    return text;
}
