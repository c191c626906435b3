// `zebevi completion bash|zsh|fish`: a completion script for the shell,
// made from the command's own verbs and options, so it never lags behind
// them. Install it as the shell expects (bash: a file in
// ~/.local/share/bash-completion/completions/zebevi, or `source <(zebevi
// completion bash)`; zsh: `_zebevi` in a folder of $fpath; fish:
// ~/.config/fish/completions/zebevi.fish).
#ifndef ZEBEVI_CLI_COMPLETION_COMMAND_H_
#define ZEBEVI_CLI_COMPLETION_COMMAND_H_

#include <CLI/CLI.hpp>
#include <iosfwd>
#include <string>

namespace zebevi::cli {

CLI::App* AddCompletionVerb(CLI::App& app, std::string& shell);

// The script for `shell` (bash, zsh or fish) completing the verbs of `app`.
std::string CompletionScript(const CLI::App& app, const std::string& shell);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_COMPLETION_COMMAND_H_
