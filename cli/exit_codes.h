// Exit statuses of the zebevi command; scripts rely on them.
#ifndef ZEBEVI_CLI_EXIT_CODES_H_
#define ZEBEVI_CLI_EXIT_CODES_H_

namespace zebevi::cli {

inline constexpr int kExitOk = 0;           // the call returned, whatever its result
inline constexpr int kExitFailure = 1;      // a friendly verb's operation refused or failed
inline constexpr int kExitUsage = 2;        // bad command line or input
inline constexpr int kExitFailedCall = 3;   // the call ended with a failed call status
inline constexpr int kExitNoDatabase = 4;   // a connection could not be opened

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_EXIT_CODES_H_
