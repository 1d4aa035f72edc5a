#include "inspect/Kinds.h"

namespace inspect {

namespace {

std::string plural(size_t n, const char* one, const char* many) {
    return format("%zu %s", n, n == 1 ? one : many);
}

// Plain when printable; quoted with escapes otherwise.
std::string key(const Json& k) {
    if (!k.is_string()) return k.dump();
    const std::string s = k.get<std::string>();
    for (char c : s) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return k.dump();
    }
    return s;
}

void line(size_t offset, int indent, const std::string& text) {
    printf("%04zx  %*s%s\n", offset, indent, "", text.c_str());
}

struct Printer {
    size_t elements;  // array elements shown before "..."

    // The first elements and how many more: "[1, 2, ... 3 more]".
    template <class Element>
    std::string shown(size_t n, const char* between, Element element) const {
        std::string out = "[";
        for (size_t i = 0; i < n && i < elements; ++i) out += (i ? between : "") + element(i);
        if (n > elements) out += format("%s... %zu more", between, n - elements);
        return out + "]";
    }

    void entries(const Json& bundle, int indent) const {
        for (const Json& e : bundle["entries"]) entry(e, indent);
    }

    // A line for the bundle, "<head>, N entries", and its entries below it.
    void bundle(size_t offset, int indent, const std::string& head, const Json& bundle) const {
        line(offset, indent, head + ", " + plural(bundle["entries"].size(), "entry", "entries"));
        entries(bundle, indent + 2);
    }

    void array(const Json& array, int indent) const {
        size_t i = 0;
        for (const Json& b : array["bundles"])
            bundle(b["offset"], indent, format("[%zu] bundle", i++), b);
    }

    void nested(const Json& e, int indent) const {
        const Json& value = e["value"];
        const bool isBundle = e["kind"] == "bundle";
        // An array left undecoded has no count to show.
        const std::string column = isBundle ? "bundle"
                                   : value.is_null()
                                       ? "bundle[]"
                                       : format("bundle[%zu]", value["bundles"].size());
        std::string head = format("%-10s %s, ", column.c_str(), key(e["key"]).c_str()) +
                           plural(e["size"], "byte", "bytes");
        if (value.is_null() && e["size"] != 0) head += ", not decoded (depth limit)";
        line(e["offset"], indent, head);
        if (value.is_null()) return;
        if (isBundle) {
            entries(value, indent + 2);
        } else {
            array(value, indent + 2);
        }
    }

    // An entry of a bundle, or an item with its "type" in place of the "kind".
    void entry(const Json& e, int indent, const char* kindField = "kind") const {
        const Json& kind = e[kindField];
        if (!kind.is_string()) {
            line(e["offset"], indent,
                 format("%-10s %s, no value", format("%s %d", kindField, kind.get<int>()).c_str(),
                        key(e["key"]).c_str()));
            return;
        }
        const std::string name = kind.get<std::string>();
        const KindRow* row = kindRow(name);
        const Json& value = e["value"];
        std::string column = name;
        std::string shown;
        switch (row != nullptr ? row->form : TextForm::kScalar) {
            case TextForm::kNested:
                nested(e, indent);
                return;
            case TextForm::kBytes: {
                const size_t n = value.is_null() ? e["count"].get<size_t>()
                                                 : value.get<std::string>().size() / 2;
                column = format("byte[%zu]", n);
                const std::string hex = value.is_null() ? "" : value.get<std::string>();
                shown = value.is_null()
                            ? "(no block: reads as absent)"
                            : this->shown(n, " ", [&](size_t i) { return hex.substr(2 * i, 2); });
                break;
            }
            case TextForm::kElements:
                column = name.substr(0, name.size() - 2) + format("[%zu]", value.size());
                shown = this->shown(value.size(), ", ", [&](size_t i) { return value[i].dump(); });
                break;
            case TextForm::kScalar:
                shown = value.dump();
                break;
        }
        std::string text =
            format("%-10s %s = %s", column.c_str(), key(e["key"]).c_str(), shown.c_str());
        if (e.contains("replaces")) {
            text += "  (replaces the entry at";
            for (const Json& at : e["replaces"]) text += format(" %04zx", at.get<size_t>());
            text += ")";
        }
        line(e["offset"], indent, text);
    }
};

}  // namespace

void printText(const Json& doc, size_t elements) {
    const std::string kind = doc["kind"];
    std::string head = kind + ", " + plural(doc["size"], "byte", "bytes");
    if (doc.contains("guessed")) head += " (guessed: " + doc["guessed"].get<std::string>() + ")";
    printf("%s\n", head.c_str());
    const Printer printer{elements};
    const Json& value = doc[kind];
    if (kind == "bundle") {
        printer.bundle(value["offset"], 0, "bundle", value);
    } else if (kind == "array") {
        line(value["offset"], 0, plural(value["bundles"].size(), "bundle", "bundles"));
        printer.array(value, 2);
    } else if (value["type"] == "bundle") {
        printer.bundle(value["offset"], 2, format("%-10s %s", "bundle", key(value["key"]).c_str()),
                       value["value"]);
    } else {
        printer.entry(value, 2, "type");
    }

    if (!doc["problems"].empty() || doc.contains("trailing")) printf("problems:\n");
    for (const Json& p : doc["problems"]) {
        std::string text = key(p["entry"]);
        if (!text.empty()) text += ": ";
        text += p["reason"].get<std::string>();
        if (p["stops"] == true) text += "; decoding stopped here";
        line(p["offset"], 0, text);
        for (const Json& l : p.value("log", Json::array()))
            printf("      log: %s\n", l.get<std::string>().c_str());
    }
    if (doc.contains("trailing")) {
        const Json& t = doc["trailing"];
        line(t["offset"], 0,
             plural(t["size"], "trailing byte", "trailing bytes") + " after the " + kind);
    }
    if (doc["exact"] == false) {
        printf("not its own re-encoding: --encode gives the library's re-encoding instead\n");
    }
}

}  // namespace inspect
