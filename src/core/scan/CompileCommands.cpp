#include "CompileCommands.h"

#include "IncludeResolver.h"

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>
#include <unordered_set>

namespace {

constexpr std::array<std::string_view, 3> kFolderOptions = {"-I", "-iquote", "-isystem"};

// The parser descends one call per nesting level; a database nests three.
constexpr int kMaxNesting = 200;

// The line of the first bracket nested deeper than kMaxNesting, or 0 when none is.
int lineTooDeep(const std::string& text) {
    int depth = 0, line = 1;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
        } else if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMaxNesting) return line;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return 0;
}

}  // namespace

bool CompileCommands::read(const std::string& fileName) {
    namespace pt = boost::property_tree;
    m_folders.clear();
    m_error.clear();
    // Checked before opening: opening a pipe for reading waits for a writer, perhaps for ever.
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(fileName, ignored)) {
        m_error = fileName + ": cannot be opened as a file";
        return false;
    }
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        m_error = fileName + ": cannot be opened as a file";
        return false;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    if (const int line = lineTooDeep(text)) {
        m_error = fileName + ": line " + std::to_string(line) +
                  ": not a compilation database: lists and objects nested deeper than " +
                  std::to_string(kMaxNesting) + " levels";
        return false;
    }
    pt::ptree root;
    try {
        std::istringstream parsed(text);
        pt::read_json(parsed, root);
    } catch (const pt::json_parser_error& error) {
        m_error = fileName + ": line " + std::to_string(error.line()) +
                  ": not valid JSON: " + error.message();
        return false;
    }
    // A list reads as a tree whose children have empty keys; an object's children are named.
    const std::string notList = fileName + ": not a compilation database (a JSON list of commands)";
    if (root.empty() && !root.data().empty()) {
        m_error = notList;
        return false;
    }
    const std::filesystem::path base = std::filesystem::absolute(fileName).parent_path();
    std::unordered_set<std::string> seen;
    for (const auto& [key, command] : root) {
        if (!key.empty() || command.empty()) {
            m_error = notList;
            return false;
        }
        std::filesystem::path directory = command.get<std::string>("directory", "");
        directory = base / directory;
        std::vector<std::string> arguments;
        if (const auto list = command.get_child_optional("arguments")) {
            for (const auto& [unused, argument] : *list) arguments.push_back(argument.data());
        } else {
            arguments = splitCommand(command.get<std::string>("command", ""));
        }
        addFolders(arguments, directory.lexically_normal().string());
    }
    // First appearance only: a later repeat would never be the first candidate.
    std::vector<std::string> unique;
    for (std::string& folder : m_folders) {
        if (seen.insert(folder).second) unique.push_back(std::move(folder));
    }
    m_folders = std::move(unique);
    return true;
}

void CompileCommands::addFolders(const std::vector<std::string>& arguments,
                                 const std::string& directory) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        for (const std::string_view option : kFolderOptions) {
            if (argument.substr(0, option.size()) != option) continue;
            std::string folder;
            if (argument.size() > option.size()) {
                folder = argument.substr(option.size());
            } else if (i + 1 < arguments.size()) {
                folder = arguments[++i];
            }
            if (folder.empty()) break;
            if (folder.front() != '/') folder = directory + '/' + folder;
            m_folders.push_back(IncludeResolver::normalise(folder));
            break;
        }
    }
}

std::vector<std::string> CompileCommands::splitCommand(const std::string& command) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (size_t i = 0; i < command.size(); ++i) {
        const char c = command[i];
        if (quote == '\'') {
            if (c == '\'')
                quote = 0;
            else
                word += c;
        } else if (quote == '"') {
            if (c == '"') {
                quote = 0;
            } else if (c == '\\' && i + 1 < command.size() &&
                       std::string_view("\"\\$`").find(command[i + 1]) != std::string_view::npos) {
                word += command[++i];
            } else {
                word += c;
            }
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            if (c == '\'' || c == '"') {
                quote = c;
            } else if (c == '\\' && i + 1 < command.size()) {
                word += command[++i];
            } else {
                word += c;
            }
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}
