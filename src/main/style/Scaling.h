#pragma once

// Every window is designed at the 640 x 480 size and drawn at one of six sizes. These are the
// lengths and products that the drawing takes from the size factor; the style uses them as well
// as the layouts, so they depend on nothing else of the window.

// Trunc(scaleFactor x n): lengths that the program derives from the factor itself.
int Scaled(double scaleFactor, int n);

// The percentage P = Trunc(scaleFactor x 100) by which a whole layout is scaled.
int ScalePercent(double scaleFactor);

// value x p / 100 as one integer product and division, rounded to nearest, halves away from
// zero.
int ScaleValue(int value, int p);
