// SPDX-License-Identifier: MIT
#pragma once
// The companion program's recommendation: a mailto: link with subject and body that the user's
// mail program opens, ready to send.

#include <string>

std::string RecommendationLink();
