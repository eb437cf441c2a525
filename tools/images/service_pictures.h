#pragma once
#include <cairo.h>

#include <string>

// Draws the picture of `name` (the service screens' drawn pictures) on a cleared w × h surface;
// false for a name it does not draw.
bool drawServicePicture(cairo_t* cr, const std::string& name, int w, int h);
