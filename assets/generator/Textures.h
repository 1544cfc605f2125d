// The building's texture atlas and the street surface.
#pragma once

#include "Image.h"

Image PaintBuildingAtlas();
// Paved street that repeats without a seam.
Image PaintStreet();
