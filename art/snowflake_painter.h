// SPDX-License-Identifier: MIT
#pragma once
// One falling snowflake: a small soft disc with transparent corners.

#include "art/picture.h"

namespace art {

Picture PaintSnowflake();

}  // namespace art
