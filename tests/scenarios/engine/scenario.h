#pragma once
// A scenario file read into lines of words: what a person does with the panel and sees on it.

#include <string>
#include <vector>

namespace scenario {

struct Line {
    int number;                      // in the file, from 1
    std::vector<std::string> words;  // quoted texts with their escapes resolved
    std::vector<bool> quoted;        // per word: was it a quoted text
};

// Reads the file; false with *error set when it cannot be read or a line cannot be split.
bool ReadScenario(const std::string& path, std::vector<Line>* lines, std::string* error);

// Splits one line into words and quoted texts; false with *error set on a broken quote or escape.
bool SplitLine(const std::string& text, Line* line, std::string* error);

// The line as written back, for messages.
std::string Describe(const Line& line);

}  // namespace scenario
