#include "tools/cli/parse_errors.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "driver/run_driver.h"

namespace scenario {
namespace {

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

// The text after the first ": " of `s`, or "".
std::string After(const std::string& s, const std::string& marker) {
  const size_t at = s.find(marker);
  return at == std::string::npos ? "" : s.substr(at + marker.size());
}

std::string Join(const std::vector<std::string>& parts, const char* separator) {
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : separator) + p;
  return out;
}

std::vector<std::string> Split(const std::string& s, char separator) {
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t at = s.find(separator); at != std::string::npos; at = s.find(separator, start)) {
    out.push_back(s.substr(start, at - start));
    start = at + 1;
  }
  out.push_back(s.substr(start));
  return out;
}

// "opzione sconosciuta: --x" or "argomento inatteso: b", for each
// argument left over.
std::string Unexpected(const std::vector<std::string>& extras) {
  std::vector<std::string> options, others;
  for (const std::string& a : extras) (StartsWith(a, "-") ? options : others).push_back(a);
  std::vector<std::string> parts;
  if (!options.empty()) {
    parts.push_back((options.size() == 1 ? "opzione sconosciuta: " : "opzioni sconosciute: ") +
                    Join(options, " "));
  }
  if (!others.empty()) {
    parts.push_back((others.size() == 1 ? "argomento inatteso: " : "argomenti inattesi: ") +
                    Join(others, " "));
  }
  return Join(parts, "; ");
}

// The kind of a parse error, by its type: the name CLI11 gives some of
// them is the command's.
template <typename Kind>
bool Is(const CLI::ParseError& error) {
  return dynamic_cast<const Kind*>(&error) != nullptr;
}

}  // namespace

std::string CommandOf(const std::vector<std::string>& args,
                      const std::vector<std::string>& commands) {
  for (const std::string& a : args) {
    for (const std::string& c : commands) {
      if (a == c) return c;
    }
  }
  return "";
}

std::string ParseErrorText(const CLI::ParseError& error, const std::vector<std::string>& args,
                           const std::vector<std::string>& commands) {
  const std::string what = error.what();
  const std::string list = Join(commands, ", ");
  if (Is<CLI::RequiredError>(error) && StartsWith(what, "A subcommand")) {
    // No command was recognised: the first argument says why.
    for (const std::string& a : args) {
      if (a == "--json") continue;
      if (StartsWith(a, "-")) return "opzione sconosciuta: " + a + " (comandi: " + list + ")";
      return "comando sconosciuto: " + a + " (comandi: " + list + ")";
    }
    return "manca il comando (" + list + ")";
  }
  if (Is<CLI::ExtrasError>(error)) {
    // "The following argument(s) was/were not expected: a b"; CLI11 lists
    // them last to first.
    std::vector<std::string> extras = Split(After(what, "expected: "), ' ');
    std::reverse(extras.begin(), extras.end());
    return Unexpected(extras);
  }
  if (Is<CLI::RequiredError>(error)) {
    // "file is required", "--x is required".
    const std::string item = what.substr(0, what.find(" is required"));
    return StartsWith(item, "-") ? "manca l'opzione " + item : "manca l'argomento " + item;
  }
  if (Is<CLI::ConversionError>(error)) {
    // "Could not convert: --da = abc", "--x: too many inputs for a flag".
    if (StartsWith(what, "Could not convert: ")) {
      const std::string rest = After(what, "Could not convert: ");
      const std::string option = rest.substr(0, rest.find(" = "));
      return "valore non valido per " + option + ": " + After(rest, " = ") +
             " (serve un numero intero)";
    }
    const std::string option = what.substr(0, what.find(':'));
    if (what.find("too many inputs for a flag") != std::string::npos) {
      return "l'opzione " + option + " non prende valori";
    }
    return "valore non valido per " + option;
  }
  if (Is<CLI::ValidationError>(error)) {
    // "--formato: xyz not in {binario,corsa,linea}".
    const std::string option = what.substr(0, what.find(": "));
    const std::string rest = After(what, ": ");
    const size_t not_in = rest.find(" not in {");
    if (not_in != std::string::npos) {
      std::string allowed = rest.substr(not_in + 9);
      if (!allowed.empty() && allowed.back() == '}') allowed.pop_back();
      return "valore non ammesso per " + option + ": " + rest.substr(0, not_in) +
             " (ammessi: " + Join(Split(allowed, ','), ", ") + ")";
    }
    // "--limite: Value 0 not in range 2.2e-308 to 1.8e+308".
    const size_t range = rest.find(" not in range ");
    if (StartsWith(rest, "Value ") && range != std::string::npos) {
      return "valore non valido per " + option + ": " + rest.substr(6, range - 6) +
             " (fuori dall'intervallo ammesso)";
    }
    return "valore non valido per " + option;
  }
  if (Is<CLI::ArgumentMismatch>(error)) {
    // "--linea: 1 required TEXT missing" and the like.
    const std::string option = what.substr(0, what.find(':'));
    if (what.find("required") != std::string::npos && what.find("missing") != std::string::npos) {
      return "manca il valore di " + option;
    }
    return "numero di valori sbagliato per " + option;
  }
  if (Is<CLI::ExcludesError>(error)) {
    const std::vector<std::string> two = Split(what, ' ');
    return two.size() >= 3 ? two[0] + " esclude " + two[2] : "opzioni incompatibili";
  }
  if (Is<CLI::RequiresError>(error)) {
    const std::vector<std::string> two = Split(what, ' ');
    return two.size() >= 3 ? two[0] + " richiede " + two[2] : "manca un'opzione richiesta";
  }
  return "riga di comando non valida";
}

void PrintUsageError(const std::string& message, const std::string& command, bool json,
                     std::ostream* out, std::ostream* err) {
  if (json) {
    nlohmann::ordered_json j;
    j["comando"] =
        command.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(command);
    j["esito"] = kExitFatal;
    j["errori"] = {message};
    *out << j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
    out->flush();
    return;
  }
  *err << "scenario: errore: " << message << " (vedere \"scenario "
       << (command.empty() ? "" : command + " ") << "--help\")\n";
  err->flush();
}

}  // namespace scenario
