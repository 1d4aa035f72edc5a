#include "bench/PeerOps.h"

namespace bench {
namespace peer {

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
