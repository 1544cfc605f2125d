// The building's texture atlas and the street surface.
#pragma once

#include "Image.h"

Image PaintBuildingAtlas();
// Asphalt that repeats without a seam.
Image PaintStreet();
