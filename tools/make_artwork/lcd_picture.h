#pragma once

class QPainter;

namespace tarvo::artwork {

// The 508 x 150 LCD pictures, painted in their own pixel coordinates; the
// painter may scale them for a high-density screen.
void paint_blank_lcd(QPainter& p);
void paint_lit_lcd(QPainter& p);  // every legend of the annunciator table lit

}  // namespace tarvo::artwork
