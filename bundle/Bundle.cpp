#include "bundle/Bundle.h"

#include "bundle/Elements.h"
#include "bundle/Scalar.h"

namespace status {

namespace {

// The frame every setter shares: the tree (made on first use), the key's node, the kind.
Bundle::HashNode& nodeToSet(Bundle& bundle, const char* key, int32_t type) {
    Bundle::HashNode* node = bundle.getTree()->getNode(key, true);
    node->mType = type;
    return *node;
}

const Bundle::HashNode* nodeToGet(const Bundle& bundle, const char* key) {
    return bundle.mTree == nullptr ? nullptr : bundle.mTree->getNode(key, false);
}

template <class T>
void setElements(Bundle& bundle, const char* key, unsigned int count, const T* values) {
    Bundle::HashNode& node = nodeToSet(bundle, key, elements::Kind<T>::value);
    // Filled before the old storage goes, so `values` may even point into it.
    T* data = elements::allocate<T>(count);
    for (unsigned int i = 0; i < count; ++i) data[i] = values[i];
    elements::adopt(node, data, count);
}

template <class T, class Out>
bool getElements(const Bundle& bundle, const char* key, Out& out) {
    const Bundle::HashNode* node = nodeToGet(bundle, key);
    if (node == nullptr) return false;
    const T* data = elements::of<T>(*node);
    if (data == nullptr) return false;
    out.assign(data, data + node->mSize);
    return true;
}

template <class T>
T getScalar(const Bundle& bundle, const char* key) {
    const Bundle::HashNode* node = nodeToGet(bundle, key);
    return node == nullptr ? T() : scalar::load<T>(*node);
}

}  // namespace

Bundle::Bundle(HashTree* tree) : mTree(tree) {
    if (mTree != nullptr) mTree->acquire();
}

Bundle::Bundle(const Bundle& other) : Bundle(other.mTree) {}

Bundle& Bundle::operator=(const Bundle& other) {
    if (mTree == other.mTree) return *this;
    if (mTree != nullptr) mTree->release();
    mTree = other.mTree;
    if (mTree != nullptr) mTree->acquire();
    return *this;
}

Bundle::~Bundle() {
    if (mTree != nullptr) mTree->release();
}

Bundle::HashTree* Bundle::getTree() {
    if (mTree == nullptr) mTree = new HashTree();
    return mTree;
}

void Bundle::set(const char* key, bool value) {
    scalar::storeBool(nodeToSet(*this, key, TYPE_BOOL), value);
}

void Bundle::set(const char* key, int value) {
    scalar::store<int32_t>(nodeToSet(*this, key, TYPE_INT32), value);
}

void Bundle::set(const char* key, long long value) {
    scalar::store<int64_t>(nodeToSet(*this, key, TYPE_INT64), value);
}

void Bundle::set(const char* key, double value) {
    scalar::store<double>(nodeToSet(*this, key, TYPE_DOUBLE), value);
}

void Bundle::set(const char* key, const char* value) {
    nodeToSet(*this, key, TYPE_STRING).mString = value;
}

void Bundle::setArray(const char* key, unsigned int count, const bool* values) {
    setElements(*this, key, count, values);
}

void Bundle::setArray(const char* key, unsigned int count, const unsigned char* values) {
    setElements(*this, key, count, values);
}

void Bundle::setArray(const char* key, unsigned int count, const unsigned short* values) {
    setElements(*this, key, count, values);
}

void Bundle::setArray(const char* key, unsigned int count, const int* values) {
    setElements(*this, key, count, values);
}

void Bundle::setArray(const char* key, unsigned int count, const double* values) {
    setElements(*this, key, count, values);
}

void Bundle::setArray(const char* key, const std::vector<std::string>& values) {
    setElements(*this, key, static_cast<unsigned int>(values.size()), values.data());
}

bool Bundle::getBool(const char* key) const {
    const HashNode* node = nodeToGet(*this, key);
    return node != nullptr && scalar::loadBool(*node);
}

int Bundle::getInt32(const char* key) const {
    return getScalar<int32_t>(*this, key);
}

long long Bundle::getInt64(const char* key) const {
    return getScalar<int64_t>(*this, key);
}

double Bundle::getDouble(const char* key) const {
    return getScalar<double>(*this, key);
}

std::string Bundle::getString(const char* key) const {
    const HashNode* node = nodeToGet(*this, key);
    return node == nullptr ? std::string() : node->mString;
}

bool Bundle::getBoolArray(const char* key, std::vector<bool>& out) const {
    return getElements<bool>(*this, key, out);
}

bool Bundle::getByteArray(const char* key, std::vector<unsigned char>& out) const {
    return getElements<unsigned char>(*this, key, out);
}

bool Bundle::getWordArray(const char* key, std::vector<unsigned short>& out) const {
    return getElements<unsigned short>(*this, key, out);
}

bool Bundle::getIntArray(const char* key, std::vector<int>& out) const {
    return getElements<int>(*this, key, out);
}

bool Bundle::getDoubleArray(const char* key, std::vector<double>& out) const {
    return getElements<double>(*this, key, out);
}

bool Bundle::getStringArray(const char* key, std::vector<std::string>& out) const {
    const HashNode* node = nodeToGet(*this, key);
    if (node == nullptr) return false;
    const std::string* data = elements::of<std::string>(*node);
    if (data == nullptr) return false;
    out.insert(out.end(), data, data + node->mSize);  // appends, unlike the other kinds
    return true;
}

}  // namespace status
