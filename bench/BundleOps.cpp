#include "bench/BundleOps.h"

namespace bench {

using status::Bundle;

const Bundle& nestedBundle() {
    static const Bundle* nested = [] {
        Bundle* b = new Bundle();
        for (int i = 0; i < 4; ++i) b->set(kNestedKeys[i], i + 1);
        return b;
    }();
    return *nested;
}

Bundle build(const std::vector<Entry>& entries) {
    Bundle bundle;
    for (const Entry& e : entries) {
        const char* key = e.key.c_str();
        switch (e.kind) {
            case Kind::Bool:
                bundle.set(key, e.integer != 0);
                break;
            case Kind::Int32:
                bundle.set(key, static_cast<int>(e.integer));
                break;
            case Kind::Int64:
                bundle.set(key, static_cast<long long>(e.integer));
                break;
            case Kind::Double:
                bundle.set(key, e.real);
                break;
            case Kind::String:
                bundle.set(key, e.text.c_str());
                break;
            case Kind::IntArray:
                bundle.setArray(key, static_cast<unsigned>(e.ints.size()), e.ints.data());
                break;
            case Kind::DoubleArray:
                bundle.setArray(key, static_cast<unsigned>(e.reals.size()), e.reals.data());
                break;
            case Kind::Nested:
                bundle.set(key, nestedBundle());
                break;
        }
    }
    return bundle;
}

void lookUp(const Bundle& bundle, const std::vector<Entry>& entries, Sink& sink) {
    for (const Entry& e : entries) {
        const char* key = e.key.c_str();
        switch (e.kind) {
            case Kind::Bool:
                sink.integers += bundle.getBool(key);
                break;
            case Kind::Int32:
                sink.integers += bundle.getInt32(key);
                break;
            case Kind::Int64:
                sink.integers += bundle.getInt64(key);
                break;
            case Kind::Double:
                sink.reals += bundle.getDouble(key);
                break;
            case Kind::String:
                sink.take(bundle.getString(key));
                break;
            case Kind::IntArray:
                bundle.getIntArray(key, sink.ints);
                sink.tookInts();
                break;
            case Kind::DoubleArray:
                bundle.getDoubleArray(key, sink.doubles);
                sink.tookDoubles();
                break;
            case Kind::Nested:
                sink.integers += bundle.getBundle(key).getInt32(kNestedKeys[0]);
                break;
        }
    }
}

}  // namespace bench
