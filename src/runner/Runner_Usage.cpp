#include "runner/Runner_Usage.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <sstream>

namespace tavrin {

namespace {

// Greedy wrapping of one paragraph at blanks.
void WrapParagraph(const std::string& line, size_t width, std::string& out) {
  std::istringstream words(line);
  std::string word;
  size_t column = 0;
  while (words >> word) {
    if (column > 0 && column + 1 + word.size() > width) {
      out += '\n';
      column = 0;
    } else if (column > 0) {
      out += ' ';
      ++column;
    }
    out += word;
    column += word.size();
  }
}

class CHelpFormatter : public CLI::Formatter {
 public:
  explicit CHelpFormatter(std::string usage) : m_usage(std::move(usage)) { column_width(26); }

  std::string make_usage(const CLI::App* app, std::string name) const override {
    return m_usage.empty() ? CLI::Formatter::make_usage(app, std::move(name)) : m_usage + "\n";
  }
  std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode mode) const override {
    if (mode == CLI::AppFormatMode::Sub) return make_expanded(app);
    return make_description(app) + make_usage(app, std::move(name)) + make_positionals(app) + Groups(app, mode) +
           make_subcommands(app, mode) + "\n" + make_footer(app);
  }
  // One blank line before each group; hidden options (no group) not shown.
  std::string Groups(const CLI::App* app, CLI::AppFormatMode mode) const {
    std::string out;
    for (const std::string& group : app->get_groups()) {
      const std::vector<const CLI::Option*> opts = app->get_options([&](const CLI::Option* opt) {
        return opt->get_group() == group && opt->nonpositional() &&
               (mode != CLI::AppFormatMode::Sub || (app->get_help_ptr() != opt && app->get_help_all_ptr() != opt));
      });
      if (!group.empty() && !opts.empty()) out += make_group(group, false, opts);
    }
    return out;
  }
  std::string make_description(const CLI::App* app) const override {
    const std::string text = app->get_description();
    return text.empty() ? std::string() : Usage_Wrap(text, kHelpWidth) + "\n";
  }
  // Descriptions sit right of the name column; the library indents the
  // lines after the first to that column.
  std::string make_option_desc(const CLI::Option* opt) const override {
    return Usage_Wrap(opt->get_description(), kHelpWidth - get_column_width());
  }
  // The type of a value, without the library's note of what it checks
  // ("FILE", not "FILE:FILE").
  std::string make_option_opts(const CLI::Option* opt) const override {
    if (opt->get_type_size() == 0) return {};
    return " " + opt->get_type_name();
  }
  std::string make_subcommand(const CLI::App* sub) const override {
    std::stringstream out;
    CLI::detail::format_help(out, sub->get_name(), Usage_Wrap(sub->get_description(), kHelpWidth - get_column_width()),
                             get_column_width());
    return out.str();
  }
  std::string make_footer(const CLI::App* app) const override {
    const std::string text = app->get_footer();
    return text.empty() ? std::string() : Usage_Wrap(text, kHelpWidth) + "\n";
  }

 private:
  std::string m_usage;
};

// Optimal string alignment distance: insertions, deletions, changes and
// swaps of two neighbouring letters each count as one edit ("biuld" is one
// edit from "build").
size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[a.size()][b.size()];
}

std::string WithoutDashes(const std::string& s) { return s.substr(std::min(s.find_first_not_of('-'), s.size())); }

// The names a person may type for the options of `app` that its help shows.
std::vector<std::string> VisibleOptionNames(const CLI::App& app) {
  std::vector<std::string> names;
  for (const CLI::Option* opt : app.get_options()) {
    if (opt->get_group().empty() || opt->get_positional()) continue;
    for (const std::string& name : opt->get_lnames()) names.push_back("--" + name);
    for (const std::string& name : opt->get_snames()) names.push_back("-" + name);
  }
  return names;
}

bool LooksLikeOption(const std::string& word) { return word.size() > 1 && word[0] == '-'; }

// The names of a command from the program down to `app` ("build"), without the program's own.
std::string CommandPath(const CLI::App* app) {
  std::string path;
  for (; app && app->get_parent(); app = app->get_parent()) path = app->get_name() + (path.empty() ? "" : " " + path);
  return path;
}

// "build needs" or, for the program itself, "missing".
std::string Needs(const CLI::App* command, const std::string& what) {
  return command->get_parent() ? command->get_name() + " needs " + what : "missing " + what;
}

}  // namespace

std::string Usage_Wrap(const std::string& text, size_t width) {
  std::string out;
  std::istringstream lines(text);
  std::string line;
  bool first = true;
  while (std::getline(lines, line)) {
    if (!first) out += '\n';
    first = false;
    if (line.empty() || line[0] == ' ')
      out += line;
    else
      WrapParagraph(line, width, out);
  }
  return out;
}

std::shared_ptr<CLI::FormatterBase> Usage_Formatter(std::string usage) {
  return std::make_shared<CHelpFormatter>(std::move(usage));
}

std::string Usage_Closest(const std::string& typed, const std::vector<std::string>& names) {
  const std::string bare = WithoutDashes(typed.substr(0, typed.find('=')));
  std::string best;
  size_t bestDistance = SIZE_MAX;
  for (const std::string& name : names) {
    const size_t d = EditDistance(bare, WithoutDashes(name));
    if (d < bestDistance) {
      best = name;
      bestDistance = d;
    }
  }
  // A letter or two wrong in a longer word is a slip; "-x" for "-o" is not.
  if (bestDistance == 0 && typed != best) return best;  // "-headless" for "--headless"
  if (bestDistance > 2 || bestDistance * 3 > bare.size()) return {};
  return best;
}

std::string Usage_UnknownOption(const std::string& word, const CLI::App& app) {
  const std::string closest = Usage_Closest(word, VisibleOptionNames(app));
  return "unknown option " + word + (closest.empty() ? "" : " (did you mean " + closest + "?)");
}

RUsageMistake Usage_Mistake(const CLI::App& app, const CLI::Error& error) {
  // The innermost command that was given.
  const CLI::App* command = &app;
  for (bool deeper = true; deeper;) {
    deeper = false;
    for (const CLI::App* sub : command->get_subcommands([](const CLI::App* s) { return s->parsed(); })) {
      command = sub;
      deeper = true;
      break;
    }
  }
  for (const CLI::App* at = command; at; at = at->get_parent()) {
    for (const std::string& word : at->remaining())
      if (LooksLikeOption(word)) return {Usage_UnknownOption(word, *at), CommandPath(at)};
  }

  const std::string message = error.what();
  const std::string path = CommandPath(command);
  if (dynamic_cast<const CLI::RequiredError*>(&error)) {
    const bool wantsCommand = command->get_require_subcommand_min() > 0 &&
                              command->get_subcommands([](const CLI::App* s) { return s->parsed(); }).empty();
    if (wantsCommand) {
      std::vector<std::string> names;
      for (const CLI::App* sub : command->get_subcommands({})) names.push_back(sub->get_name());
      const std::vector<std::string> words = command->remaining();
      if (words.empty()) return {"no command given", path};
      const std::string closest = Usage_Closest(words.front(), names);
      return {"unknown command " + words.front() + (closest.empty() ? "" : " (did you mean " + closest + "?)"), path};
    }
    // "--output is required": the option with what it takes.
    const size_t end = message.find(" is required");
    if (end != std::string::npos) {
      const std::string name = message.substr(0, end);
      const CLI::Option* opt = command->get_option_no_throw(name);
      const std::string value = opt && !opt->get_positional() && opt->get_type_size() != 0 ? " " + opt->get_type_name() : "";
      return {Needs(command, name + value), path};
    }
  }
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
    // "--steps: 1 required N missing"
    const std::string name = message.substr(0, message.find(':'));
    const CLI::Option* opt = command->get_option_no_throw(name);
    if (opt) return {name + " needs a value (" + name + " " + opt->get_type_name() + ")", path};
  }
  if (dynamic_cast<const CLI::ExtrasError*>(&error)) {
    for (const CLI::App* at = command; at; at = at->get_parent())
      if (!at->remaining().empty()) return {"unexpected word " + at->remaining().front(), CommandPath(at)};
  }
  std::string line = message;
  std::replace(line.begin(), line.end(), '\n', ' ');
  return {line, path};
}

CLI::Validator Usage_WholeNumber(int64_t min, uint64_t max, const std::string& words) {
  return CLI::Validator(
      [=](const std::string& text) -> std::string {
        const char* end = text.data() + text.size();
        bool fits = false;
        if (!text.empty() && text[0] == '-') {
          int64_t n = 0;
          const auto [at, error] = std::from_chars(text.data(), end, n);
          fits = error == std::errc() && at == end && n >= min;
        } else {
          uint64_t n = 0;
          const auto [at, error] = std::from_chars(text.data(), end, n);
          fits = error == std::errc() && at == end && n <= max && (min <= 0 || n >= uint64_t(min));
        }
        return fits ? std::string() : "\"" + text + "\" is not " + words;
      },
      "");
}

}  // namespace tavrin
