#pragma once
// One ordered record of the calls the views make on the stand-ins, for a
// host that wants to see them (the tests assert whole sequences with it).
// Each call is one line: "<object>.<operation>" with its arguments in
// parentheses, for example "Buttons.SetOnline(true)" or
// "UiManager.PreparedToRelease(DTM-1)". Nothing is recorded until a
// recorder is installed.

#include <QString>

#include <functional>

namespace rq16::standins {

using CallRecorder = std::function<void(const QString& call)>;

/// Installs the recorder of the calling process; an empty function stops
/// recording.
void SetCallRecorder(CallRecorder recorder);

/// Whether a recorder is installed (callers skip building the line if not).
bool IsRecordingCalls();

/// Hands one call to the recorder, if there is one.
void RecordCall(const QString& call);

/// "true" or "false", as recorded calls show Booleans.
inline QString RecordedBool(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace rq16::standins
