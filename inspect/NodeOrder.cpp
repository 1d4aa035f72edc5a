#include "inspect/NodeOrder.h"

namespace inspect {

// With an explicit stack: keys in ascending hash order make a chain as deep as the
// bundle has entries.
std::vector<const status::Bundle::HashNode*> nodesInOrder(const status::Bundle& b) {
    using Node = status::Bundle::HashNode;
    std::vector<const Node*> out;
    std::vector<const Node*> pending;
    const Node* current = b.mTree == nullptr ? nullptr : b.mTree->mRoot;
    while (current != nullptr || !pending.empty()) {
        while (current != nullptr) {
            pending.push_back(current);
            current = current->mLeft;
        }
        current = pending.back();
        pending.pop_back();
        out.push_back(current);
        current = current->mRight;
    }
    return out;
}

}  // namespace inspect
