#include "tests/scenarios/engine/scenario.h"

#include <fstream>

namespace scenario {
namespace {

// Resolves the escape after a backslash; false for one that the format does not know.
bool Unescape(char c, char* out) {
    switch (c) {
        case 'n':
            *out = '\n';
            return true;
        case 'r':
            *out = '\r';
            return true;
        case 't':
            *out = '\t';
            return true;
        case '\\':
        case '"':
            *out = c;
            return true;
        default:
            return false;
    }
}

bool ReadQuoted(const std::string& text, std::size_t* pos, std::string* word, std::string* error) {
    for (++*pos; *pos < text.size(); ++*pos) {
        char c = text[*pos];
        if (c == '"') {
            ++*pos;
            return true;
        }
        if (c == '\\') {
            if (++*pos == text.size() || !Unescape(text[*pos], &c)) {
                *error = "unknown escape in a quoted text";
                return false;
            }
        }
        *word += c;
    }
    *error = "a quoted text is not closed";
    return false;
}

std::string Escape(const std::string& word) {
    std::string out = "\"";
    for (char c : word) {
        switch (c) {
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\\':
            case '"':
                out += '\\';
                out += c;
                break;
            default:
                out += c;
        }
    }
    return out + "\"";
}

}  // namespace

bool SplitLine(const std::string& text, Line* line, std::string* error) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        char c = text[pos];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++pos;
            continue;
        }
        std::string word;
        bool quoted = c == '"';
        if (quoted) {
            if (!ReadQuoted(text, &pos, &word, error)) {
                return false;
            }
        } else {
            while (pos < text.size() && text[pos] != ' ' && text[pos] != '\t' &&
                   text[pos] != '\r') {
                word += text[pos++];
            }
        }
        line->words.push_back(word);
        line->quoted.push_back(quoted);
    }
    return true;
}

bool ReadScenario(const std::string& path, std::vector<Line>* lines, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read " + path;
        return false;
    }
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        Line line{number, {}, {}};
        if (!SplitLine(text, &line, error)) {
            *error = path + ":" + std::to_string(number) + ": " + *error;
            return false;
        }
        if (line.words.empty() || (!line.quoted[0] && line.words[0][0] == '#')) {
            continue;
        }
        lines->push_back(line);
    }
    return true;
}

std::string Describe(const Line& line) {
    std::string out;
    for (std::size_t i = 0; i < line.words.size(); ++i) {
        out += i ? " " : "";
        out += line.quoted[i] ? Escape(line.words[i]) : line.words[i];
    }
    return out;
}

}  // namespace scenario
