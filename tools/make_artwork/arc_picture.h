#pragma once

#include "display/arc_face.h"

class QPainter;

namespace tarvo::artwork {

// One 330 x 150 scale picture, painted in its own pixel coordinates.
void paint_arc_face(QPainter& p, const ArcFace& face);

}  // namespace tarvo::artwork
