#pragma once

#include <string>
#include <vector>

// The include folders of a compilation database (compile_commands.json): every -I, -iquote and
// -isystem folder of its commands, in order of first appearance, relative ones taken against
// their command's directory.
class CompileCommands {
public:
    // Reads fileName; false, with error() naming the file and the problem, when it cannot be
    // read, is not valid JSON or is not a list of commands.
    bool read(const std::string& fileName);

    const std::vector<std::string>& folders() const { return m_folders; }
    const std::string& error() const { return m_error; }

    // A command line cut into words as a POSIX shell would: blanks separate, quotes and
    // backslashes keep.
    static std::vector<std::string> splitCommand(const std::string& command);

private:
    void addFolders(const std::vector<std::string>& arguments, const std::string& directory);

    std::vector<std::string> m_folders;
    std::string m_error;
};
