#pragma once

#include <iosfwd>
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

void PrintTo(const LogLine& line, std::ostream* os);

// Captures Android log lines written while it lives (one capture at a time).
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    std::vector<LogLine> lines() const;
    std::vector<std::string> messages() const;
};

}  // namespace testing_support
