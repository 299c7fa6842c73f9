#pragma once

// Writing and reading small shapefiles for tests, with shapelib directly.

#include "ShpHandle.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace shapetest {

struct Shape {
    int type = SHPT_NULL;
    std::vector<int> partStarts;
    std::vector<int> partTypes;
    std::vector<double> x, y, z, m;

    bool operator==(const Shape &) const = default;
};

struct Shapefile {
    int type = SHPT_NULL;
    std::array<double, 4> minBound{}, maxBound{};
    std::vector<Shape> shapes;
};

inline Shape point(double x, double y, int type = SHPT_POINT, double z = 0,
                   double m = 0) {
    return {type, {}, {}, {x}, {y}, {z}, {m}};
}

// The shape as shapelib reads it back: z and m of every vertex (0 where the
// type has none) and a part type for every part (rings for lines and
// polygons).
inline Shape normalized(Shape s) {
    s.z.resize(s.x.size());
    s.m.resize(s.x.size());
    s.partTypes.resize(s.partStarts.size(), SHPP_RING);
    return s;
}

// Writes the shapes with their own types into a new shapefile of fileType.
inline void writeShapefile(const std::string &path, int fileType,
                           const std::vector<Shape> &shapes) {
    ShpHandle handle(SHPCreate(path.c_str(), fileType));
    ASSERT_TRUE(handle) << path;
    for (const Shape &s : shapes) {
        const int vertices = static_cast<int>(s.x.size());
        ShpObject object(SHPCreateObject(
            s.type, -1, static_cast<int>(s.partStarts.size()),
            s.partStarts.empty() ? nullptr : s.partStarts.data(),
            s.partTypes.empty() ? nullptr : s.partTypes.data(), vertices,
            vertices ? s.x.data() : nullptr, vertices ? s.y.data() : nullptr,
            s.z.empty() ? nullptr : s.z.data(),
            s.m.empty() ? nullptr : s.m.data()));
        ASSERT_TRUE(object);
        ASSERT_GE(SHPWriteObject(handle.get(), -1, object.get()), 0);
    }
}

// Reads every shape back, with the arrays shapelib gives for them (z and m
// are 0 for types that carry none).
inline Shapefile readShapefile(const std::string &path) {
    Shapefile file;
    ShpHandle handle(SHPOpen(path.c_str(), "rb"));
    EXPECT_TRUE(handle) << path;
    if (!handle)
        return file;
    int count = 0;
    SHPGetInfo(handle.get(), &count, &file.type, file.minBound.data(),
               file.maxBound.data());
    for (int i = 0; i < count; ++i) {
        ShpObject object(SHPReadObject(handle.get(), i));
        EXPECT_TRUE(object) << path << " shape " << i;
        if (!object)
            break;
        const SHPObject &o = *object;
        Shape s;
        s.type = o.nSHPType;
        s.partStarts.assign(o.panPartStart, o.panPartStart + o.nParts);
        s.partTypes.assign(o.panPartType, o.panPartType + o.nParts);
        s.x.assign(o.padfX, o.padfX + o.nVertices);
        s.y.assign(o.padfY, o.padfY + o.nVertices);
        s.z.assign(o.padfZ, o.padfZ + o.nVertices);
        s.m.assign(o.padfM, o.padfM + o.nVertices);
        file.shapes.push_back(std::move(s));
    }
    return file;
}

} // namespace shapetest
