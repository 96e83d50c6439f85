#include "CallRecorder.h"

namespace rq16::standins {

namespace {
CallRecorder& Recorder() {
    static CallRecorder recorder;
    return recorder;
}
} // namespace

void SetCallRecorder(CallRecorder recorder) {
    Recorder() = std::move(recorder);
}

bool IsRecordingCalls() {
    return static_cast<bool>(Recorder());
}

void RecordCall(const QString& call) {
    if (Recorder()) {
        Recorder()(call);
    }
}

} // namespace rq16::standins
