#pragma once

#include <shapefil.h>

#include <memory>

// shapelib's handles, each released once by its owner: an open shapefile
// (SHPClose) and one shape read from it (SHPDestroyObject). shapelib's own
// typedefs are pointers, so the deleters name the structures.
struct ShpCloser {
    void operator()(SHPInfo *handle) const { SHPClose(handle); }
};
using ShpHandle = std::unique_ptr<SHPInfo, ShpCloser>;

struct ShpObjectDestroyer {
    void operator()(SHPObject *shape) const { SHPDestroyObject(shape); }
};
using ShpObject = std::unique_ptr<SHPObject, ShpObjectDestroyer>;
