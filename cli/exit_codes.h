// Exit statuses of the zebevi command; scripts rely on them.
#ifndef ZEBEVI_CLI_EXIT_CODES_H_
#define ZEBEVI_CLI_EXIT_CODES_H_

namespace zebevi::cli {

// Every verb.
inline constexpr int kExitOk = 0;     // done: found, listed, written
inline constexpr int kExitUsage = 2;  // bad command line or input

// The friendly verbs (trip, find, order, flags, check) and `demo`.
inline constexpr int kExitFailure = 1;          // not found, the input refused, something missing
inline constexpr int kExitComponentFailed = 3;  // status 50, a failed command, no database
inline constexpr int kExitWriteFailed = 4;      // the output could not be written

// `zebevi call`, whose statuses are its own contract.
inline constexpr int kExitFailedCall = 3;  // the call ended with a failed call status
inline constexpr int kExitNoDatabase = 4;  // a connection could not be opened

// The table that `zebevi --help` and the man page end with.
inline constexpr char kExitStatusHelp[] =
    "Exit statuses of trip, find, order, flags and check:\n"
    "  0  found (or all procedures present)\n"
    "  1  the component answered \"not found\" or refused the input (its message\n"
    "     on standard error); check: something is missing\n"
    "  2  usage: an unknown option, a missing or malformed argument\n"
    "  3  the component failed (status 50, a failed database command) or the\n"
    "     database could not be reached\n"
    "  4  the output could not be written\n"
    "zebevi call keeps its own: 0 returned, 2 usage, 3 failed call, 4 no connection.";

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_EXIT_CODES_H_
