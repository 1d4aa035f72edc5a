#include "bench/MsgpackOps.h"

#include <string_view>
#include <unordered_map>

namespace bench {
namespace peer {

namespace {

std::string_view viewOf(const msgpack::object& o) {
    return std::string_view(o.via.str.ptr, o.via.str.size);
}

const msgpack::object* findIn(const msgpack::object& map, std::string_view key) {
    for (uint32_t i = 0; i < map.via.map.size; ++i) {
        if (viewOf(map.via.map.ptr[i].key) == key) return &map.via.map.ptr[i].val;
    }
    return nullptr;
}

}  // namespace

void pack(const std::vector<Entry>& entries, msgpack::sbuffer& out) {
    msgpack::packer<msgpack::sbuffer> pk(&out);
    pk.pack_map(static_cast<uint32_t>(entries.size()));
    for (const Entry& e : entries) {
        pk.pack(e.key);
        switch (e.kind) {
            case Kind::Bool:
                pk.pack(e.integer != 0);
                break;
            case Kind::Int32:
                pk.pack(static_cast<int32_t>(e.integer));
                break;
            case Kind::Int64:
                pk.pack(e.integer);
                break;
            case Kind::Double:
                pk.pack(e.real);
                break;
            case Kind::String:
                pk.pack(e.text);
                break;
            case Kind::IntArray:
                pk.pack(e.ints);
                break;
            case Kind::DoubleArray:
                pk.pack(e.reals);
                break;
            case Kind::Nested:
                pk.pack_map(4);
                for (int i = 0; i < 4; ++i) {
                    pk.pack(kNestedKeys[i]);
                    pk.pack(i + 1);
                }
                break;
        }
    }
}

void lookUp(const msgpack::object& root, const std::vector<Entry>& entries, Sink& sink) {
    std::unordered_map<std::string_view, const msgpack::object*> index;
    index.reserve(root.via.map.size);
    for (uint32_t i = 0; i < root.via.map.size; ++i) {
        index.emplace(viewOf(root.via.map.ptr[i].key), &root.via.map.ptr[i].val);
    }
    for (const Entry& e : entries) {
        const auto found = index.find(e.key);
        if (found == index.end()) continue;
        const msgpack::object& v = *found->second;
        switch (e.kind) {
            case Kind::Bool:
                sink.integers += v.as<bool>();
                break;
            case Kind::Int32:
                sink.integers += v.as<int32_t>();
                break;
            case Kind::Int64:
                sink.integers += v.as<int64_t>();
                break;
            case Kind::Double:
                sink.reals += v.as<double>();
                break;
            case Kind::String:
                sink.take(v.as<std::string>());
                break;
            case Kind::IntArray:
                v.convert(sink.ints);
                sink.tookInts();
                break;
            case Kind::DoubleArray:
                v.convert(sink.doubles);
                sink.tookDoubles();
                break;
            case Kind::Nested:
                if (const msgpack::object* a = findIn(v, kNestedKeys[0])) {
                    sink.integers += a->as<int32_t>();
                }
                break;
        }
    }
}

}  // namespace peer
}  // namespace bench
