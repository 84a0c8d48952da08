// The words of a line of resources/art and the numbers among them, shared by
// the source reader (art_file.cpp) and the picture interpreter (picture.cpp);
// their mistakes are reported as "file:line: message".
#ifndef ZORVAK_TOOLS_ART_SOURCE_WORDS_H
#define ZORVAK_TOOLS_ART_SOURCE_WORDS_H

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

namespace art {

// Puts "file:line: message" into `error`; returns false for the caller to
// pass on.
bool FailAt(std::string *error, const std::string &file, int line, const std::string &message);

// Splits a line into words; "quoted strings" are one word, with \" and \\.
bool Words(const std::string &line, const std::string &file, int lineNo,
           std::vector<std::string> *words, std::string *error);

// A whole word as an int: decimal, 0x hexadecimal or 0 octal.
bool Number(const std::string &word, const std::string &file, int line, int *value,
            std::string *error);
// Reads words[first], words[first + 1], ... as numbers into `values`.
bool Numbers(const std::vector<std::string> &words, size_t first,
             std::initializer_list<int *> values, const std::string &file, int line,
             std::string *error);

} // namespace art

#endif
