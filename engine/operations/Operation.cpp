#include "Operation.h"

void Operation::transformPoints(std::span<Point> points, ChainStatus &) {
    for (Point &point : points)
        transform(point);
}
