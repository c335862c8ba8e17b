#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Finds the file of the tree that an included name means: a quoted name in the including
// file's folder first, then in the include folders in order; an angle name in the include
// folders only. Paths are compared as text after removing "." and ".." steps, so only files of
// the tree (by the paths they were reached by) are found. Read-only once made: safe to use
// from several threads at once.
class IncludeResolver {
public:
    static constexpr uint32_t kNone = UINT32_MAX;

    // folders: absolute paths, searched in this order.
    explicit IncludeResolver(std::vector<std::string> folders) : m_folders(std::move(folders)) {}

    // file's id is found under its absolute path.
    void addFile(const std::string& path, uint32_t id) { m_files.emplace(path, id); }

    // A quoted name is looked up in its own folder first, then like any name in the include
    // folders; the second step depends on the name alone, so callers may keep its answers.
    // Each gives the file's id or kNone. An absolute name means the same file from everywhere,
    // so inOwnFolder leaves it to inIncludeFolders.
    uint32_t inOwnFolder(std::string_view ownFolder, std::string_view name) const;
    uint32_t inIncludeFolders(std::string_view name) const;

    // path with empty, "." and ".." steps taken out; path must be absolute. ".." at the top
    // stays at the top, as it does in the file system.
    static std::string normalise(std::string_view path);

private:
    uint32_t lookUp(std::string_view folder, std::string_view name) const;

    std::vector<std::string> m_folders;
    std::unordered_map<std::string, uint32_t> m_files;
};
