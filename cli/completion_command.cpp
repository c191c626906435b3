#include "cli/completion_command.h"

#include <set>
#include <string_view>
#include <vector>

#include "cli/console.h"

namespace zebevi::cli {
namespace {

// What a word after an option or a verb may be.
const std::set<std::string, std::less<>> kPathOptions{"--db", "--html", "--csv-dir", "--config"};
const std::string kColourChoices = "auto always never";
const std::string kShells = "bash zsh fish";

struct OptionWord {
  std::string name;  // "--db"
  std::string description;
  bool takes_value;
};

struct VerbWords {
  std::string name;
  std::string description;
  std::vector<OptionWord> options;
};

std::vector<VerbWords> Verbs(const CLI::App& app) {
  std::vector<VerbWords> verbs;
  for (const CLI::App* verb : app.get_subcommands([](const CLI::App*) { return true; })) {
    VerbWords words{verb->get_name(), verb->get_description(), {}};
    for (const CLI::Option* option : verb->get_options()) {
      for (const std::string& name : option->get_lnames()) {
        words.options.push_back(
            {"--" + name, option->get_description(), option->get_expected_min() > 0});
      }
    }
    verbs.push_back(std::move(words));
  }
  return verbs;
}

std::string Bash(const std::vector<VerbWords>& verbs) {
  std::string names;
  for (const VerbWords& verb : verbs) names += verb.name + " ";
  std::string paths;
  for (const std::string& option : kPathOptions) paths += (paths.empty() ? "" : "|") + option;
  std::string script =
      "# bash completion for zebevi\n"
      "_zebevi() {\n"
      "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
      "  if [ \"$COMP_CWORD\" -eq 1 ]; then\n"
      "    COMPREPLY=($(compgen -W '" +
      names +
      "--help --version' -- \"$cur\"))\n"
      "    return\n"
      "  fi\n"
      "  case $prev in\n"
      "    --color) COMPREPLY=($(compgen -W '" +
      std::string(kColourChoices) +
      "' -- \"$cur\")); return ;;\n"
      "    " +
      paths +
      ") COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n"
      "  esac\n"
      "  case ${COMP_WORDS[1]} in\n";
  for (const VerbWords& verb : verbs) {
    std::string words = verb.name == "completion" ? std::string(kShells) + " " : std::string();
    for (const OptionWord& option : verb.options) words += option.name + " ";
    script += "    " + verb.name + ") COMPREPLY=($(compgen -W '" + words + "' -- \"$cur\")) ;;\n";
  }
  return script +
         "  esac\n"
         "}\n"
         "complete -F _zebevi zebevi\n";
}

// A description inside the brackets of a zsh _arguments entry.
std::string ZshDescription(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    if (c == '[' || c == ']' || c == ':' || c == '\\') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string Zsh(const std::vector<VerbWords>& verbs) {
  std::string script =
      "#compdef zebevi\n"
      "_zebevi() {\n"
      "  local -a verbs\n"
      "  verbs=(\n";
  for (const VerbWords& verb : verbs) {
    script += "    " + ShellWord(verb.name + ":" + verb.description) + "\n";
  }
  script +=
      "  )\n"
      "  if (( CURRENT == 2 )); then\n"
      "    _describe verb verbs\n"
      "    return\n"
      "  fi\n"
      "  shift words\n"
      "  (( CURRENT-- ))\n"
      "  case $words[1] in\n";
  for (const VerbWords& verb : verbs) {
    script += "    " + verb.name + ")\n      _arguments";
    for (const OptionWord& option : verb.options) {
      std::string entry = option.name + "[" + ZshDescription(option.description) + "]";
      if (option.name == "--color") {
        entry += ":when:(" + std::string(kColourChoices) + ")";
      } else if (kPathOptions.count(option.name) != 0) {
        entry += ":path:_files";
      } else if (option.takes_value) {
        entry += ":value:";
      }
      script += " \\\n        " + ShellWord(entry);
    }
    if (verb.name == "completion")
      script += " \\\n        " + ShellWord(":shell:(" + std::string(kShells) + ")");
    script += " \\\n        '*::argument:'\n      ;;\n";
  }
  return script +
         "  esac\n"
         "}\n"
         "compdef _zebevi zebevi\n";
}

std::string Fish(const std::vector<VerbWords>& verbs) {
  std::string script =
      "# fish completion for zebevi\n"
      "complete -c zebevi -f\n";
  for (const VerbWords& verb : verbs) {
    script += "complete -c zebevi -n __fish_use_subcommand -a " + verb.name + " -d " +
              ShellWord(verb.description) + "\n";
  }
  for (const VerbWords& verb : verbs) {
    const std::string when =
        "complete -c zebevi -n " + ShellWord("__fish_seen_subcommand_from " + verb.name);
    if (verb.name == "completion") script += when + " -a " + ShellWord(kShells) + "\n";
    for (const OptionWord& option : verb.options) {
      std::string line = when + " -l " + option.name.substr(2);
      if (option.name == "--color") {
        line += " -x -a " + ShellWord(kColourChoices);
      } else if (kPathOptions.count(option.name) != 0) {
        line += " -r -F";
      } else if (option.takes_value) {
        line += " -x";
      }
      script += line + " -d " + ShellWord(option.description) + "\n";
    }
  }
  return script;
}

}  // namespace

CLI::App* AddCompletionVerb(CLI::App& app, std::string& shell) {
  CLI::App* verb = app.add_subcommand("completion", "Print a completion script for a shell");
  verb->add_option("shell", shell, "bash, zsh or fish")
      ->required()
      ->check(CLI::IsMember({"bash", "zsh", "fish"}));
  return verb;
}

std::string CompletionScript(const CLI::App& app, const std::string& shell) {
  const std::vector<VerbWords> verbs = Verbs(app);
  if (shell == "zsh") return Zsh(verbs);
  if (shell == "fish") return Fish(verbs);
  return Bash(verbs);
}

}  // namespace zebevi::cli
