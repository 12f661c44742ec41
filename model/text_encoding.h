// Conversions between the UTF-8 of our source code and the Windows-1252
// bytes of every text file and compiled text.
#ifndef SCENARIO_MODEL_TEXT_ENCODING_H_
#define SCENARIO_MODEL_TEXT_ENCODING_H_

#include <string>
#include <string_view>

namespace scenario {

// UTF-8 to Windows-1252. Characters the code page lacks (and malformed
// UTF-8) become '?' and make the function return false.
bool Utf8ToCp1252(std::string_view utf8, std::string* out);

// Windows-1252 to UTF-8; the five undefined bytes map to U+FFFD.
std::string Cp1252ToUtf8(std::string_view cp1252);

// Lower case by the rules of Windows-1252: A-Z and the accented capitals
// (and Š, Œ, Ž, Ÿ) become their small letters; everything else is kept.
char Cp1252ToLower(char c);
std::string Cp1252ToLower(std::string_view text);

// True when `text` contains `word`, comparing letters without case
// (Windows-1252 rules).
bool ContainsNoCase(std::string_view text, std::string_view word);

}  // namespace scenario

#endif  // SCENARIO_MODEL_TEXT_ENCODING_H_
