#include "inspect/LogLines.h"

#include <android/log.h>

namespace inspect {

namespace {

std::vector<std::string> gLines;

char priorityLetter(int priority) {
    static const char kLetters[] = "??VDIWEF";
    return priority >= 0 && priority < 8 ? kLetters[priority] : '?';
}

void keep(const __android_logger_data* data, const char* message) {
    std::string line(1, priorityLetter(data->priority));
    line += '/';
    line += data->tag != nullptr ? data->tag : "";
    line += ": ";
    line += message != nullptr ? message : "";
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
