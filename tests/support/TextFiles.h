#pragma once
#include <string>
#include <vector>

// What a program left behind in files, read back.
std::string readFile(const std::string& path); // empty when it cannot be read
void writeFile(const std::string& path, const std::string& text);
// Every line of a text ("\r\n" or "\n"), or of a file (nothing when it cannot be read).
std::vector<std::string> linesOf(const std::string& text);
std::vector<std::string> linesOfFile(const std::string& path);
// Lines of `text` that contain `part`.
int linesWith(const std::string& text, const std::string& part);
