#pragma once
// The debug log: one entry per call, to a file and/or the debugger output,
// each switched on by the registry.

#include <QString>

#include <cstdint>
#include <functional>

namespace rq16 {

/// The library's application title, carried by every entry.
inline constexpr const char* kApplicationTitle = "RQ16DtmControls";
/// The file name every caller passes to WriteLog.
inline constexpr const char* kLogFileName = "kelio.log";

/// Decides which sinks are on. Mode 0 reads "Debug" and "DebugFile" from the
/// registry; 1 turns the debugger output on and the file off; 2 turns both
/// on; any other mode turns both off. The flags belong to the calling thread.
void ReadDebugSettings(std::int16_t& mode);

/// Writes one entry to every sink that is on. `fileName` may be rewritten to
/// the full path of the log file. Never throws.
void WriteLog(const QString& place, const QString& message, QString& fileName);

/// WriteLog with a fresh "kelio.log" file name variable, as every caller does.
void WriteLog(const QString& place, const QString& message = QString());

/// Appends (or rewrites) `text` followed by CR LF. With createIfMissing false
/// a missing file is left alone. Any error ends the operation silently.
void AppendToFile(const QString& path, const QString& text, bool append, bool createIfMissing);

/// True if the file's length can be read.
bool FileExists(const QString& path);

/// Current state of the two flags of the calling thread.
bool DebugToFile();
bool DebugToDebugger();

/// Where debugger strings go; by default standard error. Tests install their
/// own sink; an empty function restores the default.
using DebuggerSink = std::function<void(const QString&)>;
void SetDebuggerSink(DebuggerSink sink);

} // namespace rq16
