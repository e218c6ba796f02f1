#pragma once
// Where the scene's pictures meet: sizes and the fixed points the scene positions sprites by.
// All positions are in landscape pixels, measured from its top-left corner.

namespace art {

constexpr int kLandscapeWidth = 800;
constexpr int kLandscapeHeight = 340;
constexpr int kExtensionWidth = 800;  // one period of the ground
constexpr int kExtensionHeight = 300;

// The smoke sheet's bottom-left corner stands on the chimney's top.
constexpr int kChimneyTopX = 224;
constexpr int kChimneyTopY = 71;
constexpr int kSmokeCells = 135;
constexpr int kSmokeCellWidth = 72;
constexpr int kSmokeCellHeight = 112;

constexpr int kLightCells = 52;

constexpr int kSnowflakeSize = 7;

// The fir tree: trunk axis and the tip of its top tier.
constexpr float kTreeCenterX = 703.0f;
constexpr float kTreeTipY = 75.0f;

}  // namespace art
