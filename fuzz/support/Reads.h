#pragma once

#include <map>
#include <string>
#include <vector>

#include "bundle/Bundle.h"
#include "bundle/InOrder.h"

namespace fuzz {

using status::nodesInOrder;

bool isRecognisedKind(int32_t kind);

// What a reader sees of each key, as comparable text, by key.
using View = std::map<std::string, std::string>;

// The kind and the value of that kind only: all that an encoding can carry.
View typedView(const status::Bundle& b);

// Calls every getter but the two nested ones on the key, fields of other kinds
// included, for the sanitizers to watch.
void readPlainGetters(const status::Bundle& b, const char* key);

}  // namespace fuzz
