// The mascot dog and its friends, drawn by every picture that shows them.
#pragma once

#include <cairo.h>

namespace artgen {

enum class Mood { Smile, Cheer };

// The drummer dog's head, front view, centred at (cx, cy) with head radius r; ink lines of
// about `ink` pixels.
void DogHead(cairo_t* cr, double cx, double cy, double r, Mood mood, double ink = 2.5);

// A drumstick from (x0, y0) to the tip (x1, y1).
void Stick(cairo_t* cr, double x0, double y0, double x1, double y1, double width);

// A paw (a round mitten with toe marks) at (cx, cy) of radius r, turned by angle.
void Paw(cairo_t* cr, double cx, double cy, double r, double angle);

// The running friends, side view facing right, in a box of size s whose bottom is the ground.
// frame 0..4 is the step of the run cycle.
void RunningDog(cairo_t* cr, double s, int frame);
void RunningChick(cairo_t* cr, double s, int frame);
void RunningCat(cairo_t* cr, double s, int frame);

}  // namespace artgen
