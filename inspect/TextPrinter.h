#pragma once

#include <stdio.h>

#include <string>

#include "inspect/Model.h"

namespace inspect {

struct TextStyle {
    size_t elements = 8;  // array elements shown before "..."
    std::string guessed;  // why the kind was guessed; empty when it was given
};

// Prints a description made by describe() as an indented tree, one entry a line, with
// the offset where each starts; then the problems, trailing bytes and whether the bytes
// are their own re-encoding.
void printText(const Json& doc, const TextStyle& style, FILE* out);

}  // namespace inspect
