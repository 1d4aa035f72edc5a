#include "bench/PeerOps.h"

#include <string.h>

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

void build(const std::vector<Entry>& entries, flexbuffers::Builder& fbb) {
    fbb.Map([&] {
        for (const Entry& e : entries) {
            const char* key = e.key.c_str();
            switch (e.kind) {
                case Kind::Bool:
                    fbb.Bool(key, e.integer != 0);
                    break;
                case Kind::Int32:
                case Kind::Int64:
                    fbb.Int(key, e.integer);
                    break;
                case Kind::Double:
                    fbb.Double(key, e.real);
                    break;
                case Kind::String:
                    fbb.String(key, e.text);
                    break;
                case Kind::IntArray:
                    fbb.Vector(key, e.ints.data(), e.ints.size());
                    break;
                case Kind::DoubleArray:
                    fbb.Vector(key, e.reals.data(), e.reals.size());
                    break;
                case Kind::Nested:
                    fbb.Map(key, [&] {
                        for (int i = 0; i < 4; ++i) fbb.Int(kNestedKeys[i], i + 1);
                    });
                    break;
            }
        }
    });
    fbb.Finish();
}

bool verify(const std::vector<uint8_t>& buffer) {
    return flexbuffers::VerifyBuffer(buffer.data(), buffer.size());
}

void lookUp(const std::vector<uint8_t>& buffer, const std::vector<Entry>& entries, Sink& sink) {
    const flexbuffers::Map map = flexbuffers::GetRoot(buffer).AsMap();
    for (const Entry& e : entries) {
        const flexbuffers::Reference v = map[e.key.c_str()];
        switch (e.kind) {
            case Kind::Bool:
                sink.integers += v.AsBool();
                break;
            case Kind::Int32:
                sink.integers += v.AsInt32();
                break;
            case Kind::Int64:
                sink.integers += v.AsInt64();
                break;
            case Kind::Double:
                sink.reals += v.AsDouble();
                break;
            case Kind::String:
                sink.take(v.AsString().str());
                break;
            case Kind::IntArray: {
                const flexbuffers::TypedVector values = v.AsTypedVector();
                sink.ints.resize(values.size());
                for (size_t i = 0; i < values.size(); ++i) sink.ints[i] = values[i].AsInt32();
                sink.tookInts();
                break;
            }
            case Kind::DoubleArray: {
                const flexbuffers::TypedVector values = v.AsTypedVector();
                sink.doubles.resize(values.size());
                for (size_t i = 0; i < values.size(); ++i) sink.doubles[i] = values[i].AsDouble();
                sink.tookDoubles();
                break;
            }
            case Kind::Nested:
                sink.integers += v.AsMap()[kNestedKeys[0]].AsInt32();
                break;
        }
    }
}

}  // namespace peer
}  // namespace bench
