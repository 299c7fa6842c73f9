#pragma once

// The coordinates that travel through the operation chain. Inside the chain
// angles are radians, longitude in x and latitude in y; z holds the height
// or the geocentric Z. Lengths are in the unit of the ellipsoid's semi-major
// axis.
struct Point2 {
    double x = 0;
    double y = 0;
};

struct Point : Point2 {
    double z = 0;
};
