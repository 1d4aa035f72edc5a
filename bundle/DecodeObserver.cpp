#include "bundle/DecodeObserver.h"

#include <string.h>

namespace status {

namespace {

int32_t peekInt32(const android::Parcel* p) {
    int32_t value = 0;
    if (p->dataAvail() >= sizeof value) memcpy(&value, p->data() + p->dataPosition(), sizeof value);
    return value;
}

}  // namespace

TextStart textStart(const android::Parcel* p) {
    return TextStart{p->dataPosition(), p->dataAvail(), peekInt32(p)};
}

// The reasons are those of Parcel::readString16Inplace for refusing a text.
void noteText(const android::Parcel* p, DecodeObserver& observer, const TextStart& start,
              TextRole role) {
    const size_t consumed = p->dataPosition() - start.at;
    const int32_t length = start.length;
    const int64_t r = static_cast<int64_t>(role);
    if (start.avail < sizeof(int32_t)) {
        observer.problem(DecodeProblem::kNoText, start.at, 0, r);
    } else if (length < -1 || (length >= 0 && consumed == sizeof(int32_t))) {
        observer.problem(DecodeProblem::kTextTooLong, start.at, length, r);
    } else if (length >= 0 && length != INT32_MAX) {
        const size_t last = start.at + sizeof(int32_t) + static_cast<size_t>(length) * 2;
        if (p->data()[last] != 0 || p->data()[last + 1] != 0) {
            observer.problem(DecodeProblem::kUnterminated, start.at, length, r);
        }
    }
}

std::string readObservedText(const android::Parcel* p, DecodeObserver& observer, TextRole role) {
    const TextStart start = textStart(p);
    std::string text = Bundle::readString(const_cast<android::Parcel*>(p));
    noteText(p, observer, start, role);
    return text;
}

}  // namespace status
