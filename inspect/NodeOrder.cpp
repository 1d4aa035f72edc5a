#include "inspect/NodeOrder.h"

#include "bundle/InOrder.h"

namespace inspect {

std::vector<const status::Bundle::HashNode*> nodesInOrder(const status::Bundle& b) {
    std::vector<const status::Bundle::HashNode*> out;
    if (b.mTree != nullptr) {
        status::forEachInOrder(b.mTree->mRoot,
                               [&out](const status::Bundle::HashNode& n) { out.push_back(&n); });
    }
    return out;
}

}  // namespace inspect
