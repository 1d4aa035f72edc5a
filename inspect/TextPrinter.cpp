#include "inspect/TextPrinter.h"

#include "inspect/Kinds.h"

namespace inspect {

namespace {

class Printer {
public:
    Printer(const TextStyle& style, FILE* out) : mStyle(style), mOut(out) {}

    void bundleEntries(const Json& bundle, int indent);
    void arrayBundles(const Json& array, int indent);
    void item(const Json& item);
    void problems(const Json& doc);
    void line(size_t offset, int indent, const std::string& text) {
        fprintf(mOut, "%04zx  %*s%s\n", offset, indent, "", text.c_str());
    }

private:
    void entry(const Json& e, int indent);
    void nested(const Json& e, int indent);
    template <class Element>
    std::string shown(size_t n, const char* between, Element element) const;

    const TextStyle& mStyle;
    FILE* mOut;
};

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

// The first elements and how many more: "[1, 2, ... 3 more]".
template <class Element>
std::string Printer::shown(size_t n, const char* between, Element element) const {
    std::string out = "[";
    for (size_t i = 0; i < n && i < mStyle.elements; ++i) out += (i ? between : "") + element(i);
    if (n > mStyle.elements) out += format("%s... %zu more", between, n - mStyle.elements);
    return out + "]";
}

void Printer::bundleEntries(const Json& bundle, int indent) {
    for (const Json& e : bundle["entries"]) entry(e, indent);
}

void Printer::arrayBundles(const Json& array, int indent) {
    size_t i = 0;
    for (const Json& b : array["bundles"]) {
        line(b["offset"], indent,
             format("[%zu] bundle, ", i++) + plural(b["entries"].size(), "entry", "entries"));
        bundleEntries(b, indent + 2);
    }
}

void Printer::nested(const Json& e, int indent) {
    const Json& value = e["value"];
    const bool isBundle = e["kind"] == "bundle";
    // An array left undecoded has no count to show.
    const std::string column = isBundle          ? "bundle"
                               : value.is_null() ? "bundle[]"
                                                 : format("bundle[%zu]", value["bundles"].size());
    std::string head = format("%-10s %s, ", column.c_str(), key(e["key"]).c_str()) +
                       plural(e["size"], "byte", "bytes");
    if (value.is_null() && e["size"] != 0) head += ", not decoded (depth limit)";
    line(e["offset"], indent, head);
    if (value.is_null()) return;
    if (isBundle) {
        bundleEntries(value, indent + 2);
    } else {
        arrayBundles(value, indent + 2);
    }
}

void Printer::entry(const Json& e, int indent) {
    const Json& kind = e["kind"];
    if (!kind.is_string()) {
        line(e["offset"], indent,
             format("%-10s %s, no value", format("kind %d", kind.get<int>()).c_str(),
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
            const size_t n =
                value.is_null() ? e["count"].get<size_t>() : value.get<std::string>().size() / 2;
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

void Printer::item(const Json& item) {
    const Json& type = item["type"];
    const std::string k = key(item["key"]);
    if (!type.is_string()) {
        line(item["offset"], 2,
             format("%-10s %s, no value", format("type %d", type.get<int>()).c_str(), k.c_str()));
    } else if (type == "bundle") {
        line(item["offset"], 2,
             format("%-10s %s, ", "bundle", k.c_str()) +
                 plural(item["value"]["entries"].size(), "entry", "entries"));
        bundleEntries(item["value"], 4);
    } else {
        line(item["offset"], 2,
             format("%-10s %s = %s", type.get<std::string>().c_str(), k.c_str(),
                    item["value"].dump().c_str()));
    }
}

void Printer::problems(const Json& doc) {
    if (!doc["problems"].empty() || doc.contains("trailing")) fprintf(mOut, "problems:\n");
    for (const Json& p : doc["problems"]) {
        std::string text = key(p["entry"]);
        if (!text.empty()) text += ": ";
        text += p["reason"].get<std::string>();
        if (p["stops"] == true) text += "; decoding stopped here";
        line(p["offset"], 0, text);
        for (const Json& l : p.value("log", Json::array()))
            fprintf(mOut, "      log: %s\n", l.get<std::string>().c_str());
    }
    if (doc.contains("trailing")) {
        const Json& t = doc["trailing"];
        line(t["offset"], 0,
             plural(t["size"], "trailing byte", "trailing bytes") + " after the " +
                 doc["kind"].get<std::string>());
    }
}

}  // namespace

void printText(const Json& doc, const TextStyle& style, FILE* out) {
    const std::string kind = doc["kind"];
    std::string head = kind + ", " + plural(doc["size"], "byte", "bytes");
    if (!style.guessed.empty()) head += " (guessed: " + style.guessed + ")";
    fprintf(out, "%s\n", head.c_str());
    Printer printer(style, out);
    const Json& value = doc[kind];
    if (kind == "bundle") {
        printer.line(value["offset"], 0,
                     "bundle, " + plural(value["entries"].size(), "entry", "entries"));
        printer.bundleEntries(value, 2);
    } else if (kind == "array") {
        printer.line(value["offset"], 0, plural(value["bundles"].size(), "bundle", "bundles"));
        printer.arrayBundles(value, 2);
    } else {
        printer.item(value);
    }
    printer.problems(doc);
    if (doc["exact"] == false) {
        fprintf(out, "not its own re-encoding: --encode gives the library's re-encoding instead\n");
    }
}

}  // namespace inspect
