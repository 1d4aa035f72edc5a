#include "support/LogCapture.h"

#include <android/log.h>

#include <mutex>
#include <ostream>

namespace testing_support {

namespace {

std::mutex gMutex;
std::vector<LogLine> gLines;
bool gCapturing = false;

void captureLogger(const __android_logger_data* data, const char* message) {
    std::lock_guard<std::mutex> lock(gMutex);
    if (gCapturing) gLines.push_back({data->priority, data->tag ? data->tag : "", message});
}

}  // namespace

LogCapture::LogCapture() {
    {
        std::lock_guard<std::mutex> lock(gMutex);
        gLines.clear();
        gCapturing = true;
    }
    // Outside the lock: the log holds its own lock while it calls captureLogger.
    __android_log_set_minimum_priority(ANDROID_LOG_VERBOSE);
    __android_log_set_logger(captureLogger);
}

LogCapture::~LogCapture() {
    std::lock_guard<std::mutex> lock(gMutex);
    gCapturing = false;
    gLines.clear();
}

std::vector<LogLine> LogCapture::lines() const {
    std::lock_guard<std::mutex> lock(gMutex);
    return gLines;
}

std::vector<std::string> LogCapture::messages() const {
    std::vector<std::string> out;
    for (const LogLine& line : lines()) out.push_back(line.message);
    return out;
}

void PrintTo(const LogLine& line, std::ostream* os) {
    *os << "{" << line.priority << ", \"" << line.tag << "\", \"" << line.message << "\"}";
}

}  // namespace testing_support
