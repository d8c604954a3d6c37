// The description of one tracked point: its number, name and two further attributes.
#pragma once

#include <cstdint>
#include <string>

class ShapeAtr {
public:
    ShapeAtr() = default;
    ShapeAtr(const ShapeAtr& other) = default;
    ShapeAtr& operator=(const ShapeAtr& other) = default;
    virtual ~ShapeAtr() = default;

    // Point number; the document numbers its points from 1.
    std::int32_t number = 0;
    std::string name;
    std::int32_t attribute = 0;
    // The document sets 1 for every point it creates.
    std::int32_t flag = 0;
};
