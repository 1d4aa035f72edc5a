#pragma once

#include <android/log.h>

#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace testing_support {

struct LogLine {
    int priority;
    std::string tag;
    std::string message;
    bool operator==(const LogLine& o) const {
        return priority == o.priority && tag == o.tag && message == o.message;
    }
};

inline void PrintTo(const LogLine& line, std::ostream* os) {
    *os << "{" << line.priority << ", \"" << line.tag << "\", \"" << line.message << "\"}";
}

// Captures Android log lines written while it lives (one capture at a time).
class LogCapture {
public:
    LogCapture() {
        {
            std::lock_guard<std::mutex> lock(sMutex);
            sLines.clear();
            sCapturing = true;
        }
        // Outside the lock: the log holds its own lock while it calls capture.
        __android_log_set_minimum_priority(ANDROID_LOG_VERBOSE);
        __android_log_set_logger(capture);
    }
    ~LogCapture() {
        std::lock_guard<std::mutex> lock(sMutex);
        sCapturing = false;
        sLines.clear();
    }
    std::vector<LogLine> lines() const {
        std::lock_guard<std::mutex> lock(sMutex);
        return sLines;
    }
    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const LogLine& line : lines()) out.push_back(line.message);
        return out;
    }

private:
    static void capture(const __android_logger_data* data, const char* message) {
        std::lock_guard<std::mutex> lock(sMutex);
        if (sCapturing) sLines.push_back({data->priority, data->tag ? data->tag : "", message});
    }
    static inline std::mutex sMutex;
    static inline std::vector<LogLine> sLines;
    static inline bool sCapturing = false;
};

}  // namespace testing_support
