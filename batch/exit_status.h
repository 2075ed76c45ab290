// The exit statuses of gridwright-batch.
#pragma once

namespace batch {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;      // the document could not be opened, changed or saved
inline constexpr int kExitUsage = 2;       // the command line itself is wrong
inline constexpr int kExitSomeFailed = 3;  // many documents: at least one was not saved

}  // namespace batch
