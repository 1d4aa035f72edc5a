#pragma once

#include <vector>

#include "bundle/Bundle.h"

namespace inspect {

// The nodes of a bundle in the order the encoder writes them.
std::vector<const status::Bundle::HashNode*> nodesInOrder(const status::Bundle& b);

}  // namespace inspect
