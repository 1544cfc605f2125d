// Where each surface of the building lies in its texture atlas; shared by the
// painter of the texture and the builder of the model so the two always agree.
#pragma once

// A region in pixels; y counts from the picture's top row, which is texture v = 0 in the game.
struct AtlasRegion {
    int x, y, w, h;
};

namespace atlas {

const int size = 256;
// Facades are painted at 80 pixels per model unit: one window bay is 0.4 units wide.
const double pixelsPerUnit = 80.0;
const int bayPixels = 32;

const AtlasRegion lowerRoof{0, 0, 128, 128};
const AtlasRegion towerRoof{128, 0, 128, 128};
// Facade strips, one storey high, eight bays wide; they repeat sideways.
const AtlasRegion officeStorey{0, 128, 256, 36};
const AtlasRegion towerStorey{0, 164, 256, 36};
const AtlasRegion shopStorey{0, 200, 256, 40};
const AtlasRegion concrete{0, 240, 128, 16};
const AtlasRegion stairHouse{128, 240, 128, 16};

} // namespace atlas
