#include "projection.h"

double ProjectionScale = 0.0;
double ScreenCentreX = 0.0;
double ScreenCentreY = 0.0;
