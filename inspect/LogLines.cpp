#include "inspect/Inspect.h"

#include <android/log.h>

namespace inspect {

namespace {

std::vector<std::string> gLines;

void keep(const __android_logger_data* data, const char* message) {
    const int priority = data->priority;
    std::string line(1, priority >= 0 && priority < 8 ? "??VDIWEF"[priority] : '?');
    line += '/';
    line += data->tag != nullptr ? data->tag : "";
    line += ": ";
    const std::string text = message != nullptr ? message : "";
    if (isUtf8(text)) {
        line += text;
    } else {  // a logged name read from the parcel: keep it printable in JSON too
        for (char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            line += byte < 0x80 ? std::string(1, c) : format("\\x%02X", byte);
        }
    }
    gLines.push_back(std::move(line));
}

}  // namespace

void captureLog() {
    __android_log_set_minimum_priority(ANDROID_LOG_VERBOSE);
    __android_log_set_logger(keep);
}

std::vector<std::string> takeLogLines() {
    std::vector<std::string> lines;
    lines.swap(gLines);
    return lines;
}

}  // namespace inspect
