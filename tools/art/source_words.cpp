#include "tools/art/source_words.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace art {

bool FailAt(std::string *error, const std::string &file, int line, const std::string &message) {
    *error = file + ":" + std::to_string(line) + ": " + message;
    return false;
}

bool Words(const std::string &line, const std::string &file, int lineNo,
           std::vector<std::string> *words, std::string *error) {
    words->clear();
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
            continue;
        }
        std::string word;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char c = line[i++];
                if (c == '\\' && i < line.size()) {
                    word += line[i++];
                } else if (c == '"') {
                    closed = true;
                    break;
                } else {
                    word += c;
                }
            }
            if (!closed) {
                return FailAt(error, file, lineNo, "unterminated string");
            }
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
                word += line[i++];
            }
        }
        words->push_back(word);
    }
    return true;
}

bool Number(const std::string &word, const std::string &file, int line, int *value,
            std::string *error) {
    errno = 0;
    char *end = nullptr;
    const long v = std::strtol(word.c_str(), &end, 0);
    if (word.empty() || errno != 0 || end != word.c_str() + word.size() || v < INT_MIN ||
        v > INT_MAX) {
        return FailAt(error, file, line, "expected a number, found '" + word + "'");
    }
    *value = int(v);
    return true;
}

bool Numbers(const std::vector<std::string> &words, size_t first,
             std::initializer_list<int *> values, const std::string &file, int line,
             std::string *error) {
    for (int *value : values) {
        if (!Number(words[first++], file, line, value, error)) {
            return false;
        }
    }
    return true;
}

} // namespace art
