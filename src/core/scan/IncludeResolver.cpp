#include "IncludeResolver.h"

uint32_t IncludeResolver::inOwnFolder(std::string_view ownFolder, std::string_view name) const {
    if (name.empty() || name.front() == '/') return kNone;
    return lookUp(ownFolder, name);
}

uint32_t IncludeResolver::inIncludeFolders(std::string_view name) const {
    if (name.empty()) return kNone;
    if (name.front() == '/') return lookUp({}, name);
    for (const std::string& folder : m_folders) {
        if (uint32_t id = lookUp(folder, name); id != kNone) return id;
    }
    return kNone;
}

uint32_t IncludeResolver::lookUp(std::string_view folder, std::string_view name) const {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
    path += '/';
    path.append(name);
    // Most names have no steps to take out; those skip the rebuilding.
    const bool plain = path.find("/.") == std::string::npos && path.find("//") == std::string::npos;
    auto found = m_files.find(plain ? path : normalise(path));
    return found == m_files.end() ? kNone : found->second;
}

std::string IncludeResolver::normalise(std::string_view path) {
    std::string result;
    result.reserve(path.size());
    size_t at = 0;
    while (at < path.size()) {
        size_t end = path.find('/', at);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view step = path.substr(at, end - at);
        if (step == "..") {
            const size_t slash = result.rfind('/');
            result.resize(slash == std::string::npos ? 0 : slash);
        } else if (!step.empty() && step != ".") {
            result += '/';
            result.append(step);
        }
        at = end + 1;
    }
    return result.empty() ? "/" : result;
}
