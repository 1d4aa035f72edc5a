#include <tessik/BinderClient.h>

#include <map>
#include <mutex>

namespace {

// Creators by name; only initialised ones are listed.
struct Registry {
    std::mutex mutex;
    std::map<std::string, BinderClient::Creator*> creators;
};

Registry& registry() {
    static Registry* instance = new Registry();  // outlives static creators at exit
    return *instance;
}

}  // namespace

BinderClient::BinderClient() : mClientObject(nullptr) {}

BinderClient::~BinderClient() {}

void BinderClient::onRelease() {}

BinderClient::Creator::Creator(const char* name) : mName(name) {}

void BinderClient::Creator::initialize() {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.creators[mName] = this;
}

void BinderClient::Creator::forget() {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.creators.find(mName);
    if (it != r.creators.end() && it->second == this) r.creators.erase(it);
}

BinderClient::Creator* BinderClient::findCreator(const char* name) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.creators.find(name);
    return it == r.creators.end() ? nullptr : it->second;
}
