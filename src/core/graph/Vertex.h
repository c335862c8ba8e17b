#pragma once

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include <cstdint>
#include <string>
#include <vector>

// One node of the graph. Vertices are always held by shared pointer; the link to the parent is
// weak so that a replaced graph (parents and children pointing at each other) is freed.
class Vertex {
public:
    Vertex(uint32_t id, const std::string& name);
    // Frees the children that die with this vertex without nesting one destructor call per tree
    // level, so that dropping a very deep tree does not exhaust the call stack.
    ~Vertex();

    uint32_t getId() const { return m_id; }
    const std::string& getName() const { return m_name; }

    boost::shared_ptr<Vertex> getParent() const { return m_parent.lock(); }
    void setParent(const boost::shared_ptr<Vertex>& parent) { m_parent = parent; }

    std::vector<boost::shared_ptr<Vertex>> getChildren() const { return m_children; }
    // Read-only view of the children, for loops over large graphs that must not copy.
    const std::vector<boost::shared_ptr<Vertex>>& children() const { return m_children; }
    void addChild(const boost::shared_ptr<Vertex>& child) { m_children.push_back(child); }
    // For discarding a broken graph: children that are their own ancestors would keep each
    // other alive for ever.
    void clearChildren() { m_children.clear(); }
    boost::shared_ptr<Vertex> getChild(size_t index) const { return m_children[index]; }
    size_t getChildCount() const { return m_children.size(); }

    std::vector<uint32_t> getPathToRoot() const { return m_pathToRoot; }
    const std::vector<uint32_t>& pathToRoot() const { return m_pathToRoot; }
    void setPathToRoot(std::vector<uint32_t> path) { m_pathToRoot = std::move(path); }

    int32_t getLevel() const { return m_level; }
    void setLevel(int32_t level) { m_level = level; }

private:
    uint32_t m_id;
    std::string m_name;
    boost::weak_ptr<Vertex> m_parent;
    std::vector<boost::shared_ptr<Vertex>> m_children;
    std::vector<uint32_t> m_pathToRoot;
    int32_t m_level = 0;
};

using VertexPtr = boost::shared_ptr<Vertex>;
