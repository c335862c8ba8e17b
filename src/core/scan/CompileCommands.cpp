#include "CompileCommands.h"

#include "IncludeResolver.h"

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <array>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <unordered_set>

namespace {

constexpr std::array<std::string_view, 3> kFolderOptions = {"-I", "-iquote", "-isystem"};

}  // namespace

bool CompileCommands::read(const std::string& fileName) {
    namespace pt = boost::property_tree;
    m_folders.clear();
    m_error.clear();
    std::ifstream in(fileName, std::ios::binary);
    if (!in || std::filesystem::is_directory(fileName)) {
        m_error = fileName + ": cannot be opened";
        return false;
    }
    pt::ptree root;
    try {
        pt::read_json(in, root);
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
