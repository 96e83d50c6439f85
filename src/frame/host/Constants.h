#pragma once
// Numbers and names that more than one part of the views, or the views and
// the components they talk to, rely on.

#include <QString>

#include <cstdint>

namespace rq16 {

/// Output channels of the module; channel elements are indexed 0 to 7.
inline constexpr int kChannelCount = 8;

/// The kernel states the views compare (their meaning is the DTM's: 4 is
/// configured and offline, 6 online).
inline constexpr int kKernelStateOffline = 4;
inline constexpr int kKernelStateOnline = 6;

/// Texts of the common resource folder used in more than one place.
inline constexpr std::int32_t kTextConnectionLost = 1127;
inline constexpr std::int32_t kTextDataSetLockedBy = 6001;
inline constexpr std::int32_t kTextSlotNumber = 6002;
inline constexpr std::int32_t kTextChannel = 6003;
inline constexpr std::int32_t kTextReread = 6103;
inline constexpr std::int32_t kTextStartReading = 7011;
inline constexpr std::int32_t kTextStopReading = 7012;

/// The registry key of the debug settings and its two values.
inline const QString kRegistryKey = QStringLiteral("SOFTWARE\\Orlin\\DTM kelio-DP");
inline const QString kRegistryDebug = QStringLiteral("Debug");
inline const QString kRegistryDebugFile = QStringLiteral("DebugFile");

} // namespace rq16
