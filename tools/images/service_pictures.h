#pragma once
#include <cairo.h>

#include <string>

// Draws the picture of `name` (the service screens' drawn pictures) on a cleared surface of w × h points;
// false for a name it does not draw.
bool drawServicePicture(cairo_t* cr, const std::string& name, int w, int h);
